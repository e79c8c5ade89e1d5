// One copy per user: a second start is refused and asks the first to come to the front.
#include "platform/sdl/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/desktop_window.h"

namespace {

std::string freshRuntimeDir() {
    char tmpl[] = "/tmp/tallreed-instance-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir != nullptr ? dir : "";
}

// Runs claimSingleInstance() in a child process: its exit status says what it got.
bool childClaims() {
    const pid_t pid = fork();
    if (pid == 0) {
        platform::desktop::forgetInstanceClaim();
        _exit(platform::claimSingleInstance() ? 10 : 20);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WEXITSTATUS(status) == 10;
}

TEST(SingleInstance, FolderFallsBackToTmp) {
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::desktop::instanceFolder(), "/tmp");
    setenv("XDG_RUNTIME_DIR", "relative/path", 1);
    EXPECT_EQ(platform::desktop::instanceFolder(), "/tmp");
    setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(platform::desktop::instanceFolder(), "/run/user/1234");
    EXPECT_EQ(platform::desktop::instanceLockPath(),
              "/run/user/1234/tallreed-" + std::to_string(getuid()) + ".lock");
}

TEST(SingleInstance, SecondCopyIsRefusedAndRaisesTheFirst) {
    const std::string dir = freshRuntimeDir();
    ASSERT_FALSE(dir.empty());
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_TRUE(childClaims());  // the first child runs and ends
    EXPECT_TRUE(childClaims());  // so the next one may run too
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(platform::createWindow());
    ASSERT_TRUE(platform::claimSingleInstance());
    EXPECT_FALSE(childClaims());
    // The request travels through the socket and wakes the message wait; the timer
    // keeps messages coming until it has been carried out (bounded: about 5 s).
    ASSERT_TRUE(platform::startTimer(10));
    platform::Message m;
    for (int i = 0; i < 500 && platform::desktop::raisesDone() == 0; ++i)
        ASSERT_TRUE(platform::getMessage(m));
    EXPECT_EQ(platform::desktop::raisesDone(), 1);
    std::filesystem::remove_all(dir);
}

}  // namespace
