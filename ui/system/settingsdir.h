#pragma once
// Which folder the program works in, and where its installed data lies.

#include <QString>
#include <QStringList>

namespace vemar::ui {

struct Folders {
    QString work;    // settings, under the relative names of the files
    QString data;    // the installed data, only read
    QString error;   // set when the arguments were not understood
};

// The installed data folder, found from the program's own folder as
// installed (libexec/vemar/ and share/vemar/ under one prefix).
QString installedDataFolder(const QString& programDir);

// `--dir DIR` names the working folder (tests and developers); otherwise it
// is the user's settings folder. The data folder is installedDataFolder().
Folders chooseFolders(const QStringList& arguments, const QString& programDir);

// Makes the working folder, fills in what it lacks from the data folder
// (seeding the place and zone from the system's time zone) and makes it the
// current directory. Problems are written to stderr; the start goes on, and
// a file still missing is reported by the start-up itself.
void enterWorkFolder(const Folders& folders);

} // namespace vemar::ui
