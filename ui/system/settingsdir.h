#pragma once
// Which folder the program works in, and where its installed data lies,
// both as bytes from the command line, the environment and the system.

#include <QString>

#include <filesystem>
#include <string>

namespace vemar::ui {

struct Folders {
    std::filesystem::path work;   // settings, under the relative names of the files
    std::filesystem::path data;   // the installed data, only read
    std::string error;            // set: the start ends with this message
    int status = 0;               // and this exit status
};

// The installed data folder, found from the program's own folder as
// installed (libexec/vemar/ and share/vemar/ under one prefix).
QString installedDataFolder(const QString& programDir);

// The settings folder chosen by ChooseSettingsFolder from argv's own bytes,
// the environment and the password database; the data folder from the
// program's own path.
Folders chooseFolders(int argc, char* argv[]);

// Makes the working folder and makes it the current directory; false, with
// the error set, when it cannot be used.
bool enterWorkFolder(Folders& folders);

// Fills in what the folder lacks from the data folder (seeding the place and
// zone from the system's time zone). Problems are written to stderr; the
// start goes on, and a file still missing is reported by the start-up itself.
void prepareWorkFolder(const Folders& folders);

} // namespace vemar::ui
