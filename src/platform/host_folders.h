// The user's own folders on a Linux host, named by the XDG base-directory rules, and
// the small file moves the store needs. Shared by the desktop and headless backends.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The home folder: $HOME when it holds an absolute path, else the password database's
// entry for this user; "" when there is neither.
std::string homeFolder();

// An XDG base folder: the variable when it holds an absolute path (a relative one is
// ignored, as the rules say), else home + "/" + underHome; "" without a home.
std::string xdgFolder(const char* variable, const char* underHome);

// Makes `dir` and its missing parents (new folders get `mode`). False (errno set) when
// that fails or `dir` is no folder.
bool makeFolders(const std::string& dir, unsigned mode);

// A folder (not a symlink) of this user that nobody else may enter.
bool isPrivateFolder(const std::string& dir);

// Makes `dir` when missing and checks that it is a folder of this user that nobody else
// may enter (owned by the user, no access for group or others). A folder of ours that is
// too open is closed; one of another user, or a symlink, is refused.
bool makePrivateFolder(const std::string& dir);

// Moves `from` to `to` without ever replacing a file that is there.
bool moveNoReplace(const std::string& from, const std::string& to);

}  // namespace platform
