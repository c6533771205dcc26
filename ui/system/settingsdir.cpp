#include "ui/system/settingsdir.h"

#include "core/firststart.h"
#include "core/settingsfolder.h"
#include "core/texts.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#ifndef VEMAR_DATA_FROM_PROGRAM
#define VEMAR_DATA_FROM_PROGRAM "../../share/vemar"
#endif

namespace vemar::ui {

namespace {

// The home directory the password database gives this user; empty when it
// gives none.
std::string passwdHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found && found->pw_dir ? std::string(found->pw_dir) : std::string();
}

// The program's own folder as the kernel names it.
std::filesystem::path programFolder() {
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    return length > 0 ? std::filesystem::path(std::string(self, std::size_t(length))).parent_path()
                      : std::filesystem::path(".");
}

} // namespace

QString installedDataFolder(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(VEMAR_DATA_FROM_PROGRAM)));
}

Folders chooseFolders(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const std::string home = passwdHome();
    const FolderChoice choice =
        ChooseSettingsFolder(arguments, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), home.c_str());
    Folders folders{choice.folder, (programFolder() / VEMAR_DATA_FROM_PROGRAM).lexically_normal(), choice.error};
    if (!folders.error.empty()) folders.status = 64;
    return folders;
}

bool enterWorkFolder(Folders& folders) {
    std::string why = MakeSettingsFolder(folders.work);
    if (why.empty() && ::chdir(folders.work.c_str()) != 0) why = texts::SystemErrorText(errno);
    if (why.empty()) return true;
    folders.error = FolderErrorText(folders.work, why);
    folders.status = 1;
    return false;
}

void prepareWorkFolder(const Folders& folders) {
    const auto problems = PrepareSettingsDir(folders.work, folders.data, "/usr/share/zoneinfo", std::time(nullptr));
    for (const std::string& p : problems) std::fprintf(stderr, "vemar: %s\n", p.c_str());
}

} // namespace vemar::ui
