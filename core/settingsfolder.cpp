#include "core/settingsfolder.h"

#include "core/firststart.h"
#include "core/texts.h"

#include <cerrno>
#include <climits>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace vemar {

namespace fs = std::filesystem;

FolderChoice ChooseSettingsFolder(const std::vector<std::string>& arguments, const char* xdgConfigHome,
                                  const char* home, const char* passwdHome) {
    FolderChoice choice;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--dir" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            std::error_code ec;
            choice.folder = fs::absolute(arguments[++i], ec);
        } else {
            choice.error = std::string(texts::kUnknownArgument) + arguments[i] + std::string(texts::kUsage);
            return choice;
        }
    }
    if (choice.folder.empty()) choice.folder = SettingsDirFor(xdgConfigHome, home);
    if (choice.folder.empty()) choice.folder = SettingsDirFor(nullptr, passwdHome);
    if (choice.folder.empty()) choice.error = std::string(texts::kNoHome);
    return choice;
}

// mkdir refuses a long name only when it comes to it: by then the folders
// above it would be made.
std::string MakeSettingsFolder(const fs::path& folder) {
    bool tooLong = folder.native().size() >= PATH_MAX;
    for (const fs::path& name : folder) tooLong = tooLong || name.native().size() > NAME_MAX;
    if (tooLong) return texts::SystemErrorText(ENAMETOOLONG);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return texts::SystemErrorText(ec.value());
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return texts::SystemErrorText(errno);
    ::close(fd);
    return {};
}

std::string FolderErrorText(const fs::path& folder, const std::string& why) {
    return std::string(texts::kFolderUnusable) + folder.string() + "\n" + why;
}

} // namespace vemar
