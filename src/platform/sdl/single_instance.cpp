// The single-instance check. The first copy holds an exclusive lock on a per-user file
// for as long as it runs (the lock goes with the process, even when it crashes) and
// listens on a Unix socket beside it. A second copy fails to take the lock, connects to
// the socket to ask the first copy to raise its window, and ends.
#include "platform/sdl/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/desktop_window.h"

namespace platform {
namespace desktop {

std::string instanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return runtime;
    return "/tmp";
}

std::string instanceLockPath() {
    return instanceFolder() + "/tallreed-" + std::to_string(getuid()) + ".lock";
}

std::string instanceSocketPath() {
    return instanceFolder() + "/tallreed-" + std::to_string(getuid()) + ".sock";
}

}  // namespace desktop

namespace {

bool socketAddress(sockaddr_un& addr) {
    const std::string path = desktop::instanceSocketPath();
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Runs for the life of the process: every connection is a request to come to the front.
void listenForOthers(int server) {
    for (;;) {
        const int client = accept(server, nullptr, nullptr);
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
    // The descriptor is left open: closing it here would not release the parent's lock
    // anyway, and the parent may still be using the same open file.
    lockFd = -1;
}

bool claimSingleInstance() {
    if (lockFd >= 0) return true;  // already ours
    const std::string lockPath = desktop::instanceLockPath();
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // cannot tell: better to run than to refuse
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
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
