// The single-instance check. The first copy holds a write lock on a per-user file for as
// long as it runs and listens on a Unix socket beside it. A second copy fails to take the
// lock, connects to the socket to ask the first copy to raise its window, and ends.
//
// The lock is a POSIX record lock: it belongs to the process, goes when the process ends
// (even when it crashes) and is not inherited by a forked child. A lock on the open file
// (flock) would be shared with such a child, and a message box's helper process that
// outlived a killed game would then refuse every later start.
#include "platform/sdl/single_instance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/host_folders.h"
#include "platform/platform.h"
#include "platform/sdl/desktop_window.h"

namespace platform {
namespace desktop {

std::string instanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && isPrivateFolder(runtime)) return runtime;
    // Without a runtime folder of our own: a private folder in the user's cache, never a
    // name in /tmp that another user could take first.
    const std::string cache = xdgFolder("XDG_CACHE_HOME", ".cache");
    if (cache.empty()) return "";
    const std::string dir = cache + "/tallreed";
    return makePrivateFolder(dir) ? dir : "";
}

std::string instanceLockPath() {
    const std::string dir = instanceFolder();
    return dir.empty() ? "" : dir + "/tallreed.lock";
}

std::string instanceSocketPath() {
    const std::string dir = instanceFolder();
    return dir.empty() ? "" : dir + "/tallreed.sock";
}

}  // namespace desktop

namespace {

bool socketAddress(sockaddr_un& addr) {
    const std::string path = desktop::instanceSocketPath();
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Runs for the life of the process: every connection is a request to come to the front.
void listenForOthers(int server) {
    for (;;) {
        const int client = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR) continue;
            return;
        }
        char buf[16];
        (void)read(client, buf, sizeof buf);
        close(client);
        desktop::requestRaise();
    }
}

void askFirstCopyToRaise() {
    sockaddr_un addr;
    if (!socketAddress(addr)) return;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        static const char kRaise[] = "raise\n";
        (void)write(fd, kRaise, sizeof kRaise - 1);
    }
    close(fd);
}

int lockFd = -1;

}  // namespace

void desktop::forgetInstanceClaim() {
    // A forked child never holds its parent's record lock; it only forgets the descriptor
    // (left open: the parent may still use the same open file).
    lockFd = -1;
}

bool claimSingleInstance() {
    if (lockFd >= 0) return true;  // already ours
    const std::string lockPath = desktop::instanceLockPath();
    // Whatever keeps us from telling (no private folder, a file system without locks),
    // starting is better than refusing: a stale claim must never block a start.
    if (lockPath.empty()) return true;
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(fd, F_SETLK, &whole) != 0) {
        const bool held = errno == EACCES || errno == EAGAIN;
        close(fd);
        if (!held) return true;
        askFirstCopyToRaise();
        return false;
    }
    lockFd = fd;
    // We hold the lock, so a socket file left there belongs to a copy that has ended.
    sockaddr_un addr;
    if (!socketAddress(addr)) return true;
    unlink(addr.sun_path);
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (server < 0) return true;
    if (bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(server, 4) != 0) {
        close(server);
        return true;
    }
    std::thread(listenForOthers, server).detach();
    return true;
}

}  // namespace platform
