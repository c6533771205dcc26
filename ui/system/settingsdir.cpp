#include "ui/system/settingsdir.h"

#include "core/firststart.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#ifndef VEMAR_DATA_FROM_PROGRAM
#define VEMAR_DATA_FROM_PROGRAM "../../share/vemar"
#endif

namespace vemar::ui {

QString installedDataFolder(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(VEMAR_DATA_FROM_PROGRAM)));
}

Folders chooseFolders(const QStringList& arguments, const QString& programDir) {
    Folders folders;
    folders.data = installedDataFolder(programDir);
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--dir") && i + 1 < arguments.size()) {
            folders.work = QDir(arguments[++i]).absolutePath();
        } else {
            folders.error = QStringLiteral("unknown argument: %1 (usage: vemar [--dir DIR])").arg(arguments[i]);
            return folders;
        }
    }
    if (folders.work.isEmpty()) {
        const auto settings = SettingsDirFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
        folders.work = settings.empty() ? QDir::currentPath() : QString::fromStdString(settings.string());
    }
    return folders;
}

void enterWorkFolder(const Folders& folders) {
    const auto problems = PrepareSettingsDir(folders.work.toStdString(), folders.data.toStdString(),
                                             "/usr/share/zoneinfo", std::time(nullptr));
    for (const std::string& p : problems) std::fprintf(stderr, "vemar: %s\n", p.c_str());
    if (!QDir::setCurrent(folders.work))
        std::fprintf(stderr, "vemar: cannot enter %s\n", qPrintable(folders.work));
}

} // namespace vemar::ui
