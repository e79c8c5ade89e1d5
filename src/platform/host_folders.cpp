#include "platform/host_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/platform.h"

namespace platform {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    // A session without HOME (a service, a bare `env -i`) still has a home of record.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return "";
}

std::string xdgFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return value;
    const std::string home = homeFolder();
    if (home.empty()) return "";
    return home + "/" + underHome;
}

bool makeFolders(const std::string& dir, unsigned mode) {
    if (dir.empty()) {
        errno = ENOENT;
        return false;
    }
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i < dir.size() && dir[i] != '/') continue;
        const std::string part = dir.substr(0, i);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool isPrivateFolder(const std::string& dir) {
    struct stat st {};
    return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

bool makePrivateFolder(const std::string& dir) {
    const size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(dir.substr(0, slash), 0755))
        return false;
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        errno = EPERM;
        return false;
    }
    return (st.st_mode & 077) == 0 || chmod(dir.c_str(), 0700) == 0;
}

bool moveNoReplace(const std::string& from, const std::string& to) {
    // link() fails when the target exists; folders, which cannot be linked, are renamed
    // after a check.
    if (link(from.c_str(), to.c_str()) == 0) return unlink(from.c_str()) == 0;
    if (errno == EEXIST || exists(to)) return false;
    return rename(from.c_str(), to.c_str()) == 0;
}

std::string dataFolder() {
    const std::string base = xdgFolder("XDG_DATA_HOME", ".local/share");
    return base.empty() ? "" : base + "/tallreed";
}

std::string setAsideDamaged(const std::string& path, const std::vector<std::string>& companions) {
    char stamp[32];
    const std::time_t t = std::time(nullptr);
    struct tm local {};
    localtime_r(&t, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int n = 1; n < 1000; ++n) {
        std::string target = path + ".broken-" + stamp;
        if (n > 1) target += "-" + std::to_string(n);
        bool taken = exists(target);
        for (const std::string& suffix : companions) taken = taken || exists(target + suffix);
        if (taken) continue;
        if (!moveNoReplace(path, target)) {
            if (exists(target)) continue;  // somebody took the name just now
            return "";
        }
        for (const std::string& suffix : companions)
            if (exists(path + suffix)) moveNoReplace(path + suffix, target + suffix);
        return target;
    }
    return "";
}

}  // namespace platform
