#pragma once
// A dialog's save that fails (a full disk, a folder made read-only) keeps
// the dialog open with the user's edits and says why; the program runs on.
// The files stay whole whatever fails: every write replaces its file in one
// rename.

#include "core/files/fileerror.h"
#include "core/platform.h"
#include "core/texts.h"

#include <string>

namespace vemar {

// "Impossibile salvare fusi.dat: scrittura non riuscita: spazio esaurito sul
// disco", then that the edits are still there.
inline std::string SaveFailedText(const FileError& e) {
    return std::string(texts::kSaveFailed) + e.file + ": " + e.what() + "\n\n" + std::string(texts::kEditsKept);
}

// Runs save; false after a file error, which the platform has shown: the
// caller keeps its dialog open and its edits as they are.
template <class Fn> bool SaveKeepingEdits(Platform& platform, Fn&& save) {
    try {
        save();
        return true;
    } catch (const FileError& e) {
        platform.saveFailed(SaveFailedText(e));
        return false;
    }
}

} // namespace vemar
