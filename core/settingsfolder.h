#pragma once
// Where the program keeps its settings, decided once at the start and kept
// as bytes: a folder's name need not be UTF-8, and a name converted on the
// way would be another folder. A folder that cannot be used ends the start;
// nothing is ever read or written in another one instead.

#include <filesystem>
#include <string>
#include <vector>

namespace vemar {

struct FolderChoice {
    std::filesystem::path folder;   // absolute
    std::string error;              // set: the start ends with it
};

// `--dir DIR` names the folder (relative to the current directory); else
// $XDG_CONFIG_HOME/vemar, else $HOME/.config/vemar, each only when absolute
// as the base-directory rules ask; else the home that the password database
// gives the user. arguments: the command line without the program's name.
FolderChoice ChooseSettingsFolder(const std::vector<std::string>& arguments, const char* xdgConfigHome,
                                  const char* home, const char* passwdHome);

// Makes the folder and the ones above it where missing; empty when it is a
// folder the program can work in, else why, in the system's words. Names
// too long for the system are refused before anything is made.
std::string MakeSettingsFolder(const std::filesystem::path& folder);

// The start's message for a folder that cannot be used.
std::string FolderErrorText(const std::filesystem::path& folder, const std::string& why);

} // namespace vemar
