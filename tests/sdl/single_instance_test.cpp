// One copy per user: a second start is refused and asks the first to come to the front.
#include "platform/sdl/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

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

// The lock lives in a folder only this user may enter: the runtime folder when it is one,
// else a private folder in the cache, never a shared place such as /tmp.
TEST(SingleInstance, TheLockLivesInAPrivateFolderOfTheUser) {
    const std::string home = freshRuntimeDir();
    ASSERT_FALSE(home.empty());
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CACHE_HOME");
    const std::string cache = home + "/.cache/tallreed";
    const std::string shared = home + "/shared";
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, cache},        {"relative/path", cache}, {"/nonexistent-runtime-folder", cache},
        {shared.c_str(), cache},  // open to everybody: not a runtime folder
        {home.c_str(), home},
    };
    for (const auto& [runtime, expected] : cases) {
        if (runtime != nullptr)
            setenv("XDG_RUNTIME_DIR", runtime, 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(platform::desktop::instanceFolder(), expected) << (runtime ? runtime : "unset");
    }
    EXPECT_EQ(platform::desktop::instanceLockPath(), home + "/tallreed.lock");
    struct stat st {};
    ASSERT_EQ(stat(cache.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::filesystem::remove_all(home);
}

// A message box's helper process is a fork of the game; when the game dies first, the
// helper must not keep the claim (a stale lock never blocks a start).
TEST(SingleInstance, AClaimEndsWithItsProcessNotWithAForkedChild) {
    const std::string dir = freshRuntimeDir();
    ASSERT_FALSE(dir.empty());
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    int ready[2], hold[2];
    ASSERT_EQ(pipe(ready) | pipe(hold), 0);
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        platform::desktop::forgetInstanceClaim();
        if (!platform::claimSingleInstance()) _exit(1);
        if (fork() == 0) {  // the helper: lives on with every descriptor of the game
            close(hold[1]);
            char c;
            _exit(read(hold[0], &c, 1) < 0);
        }
        const char c = 1;
        _exit(write(ready[1], &c, 1) == 1 ? 0 : 1);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    int status = 0;
    waitpid(parent, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(childClaims());  // the helper still runs, yet a new start goes ahead
    for (int fd : {ready[0], ready[1], hold[0], hold[1]}) close(fd);  // the helper ends
    std::filesystem::remove_all(dir);
}

// A runtime folder whose path leaves no room for the socket's name: the game still runs,
// one copy at a time, without the socket.
TEST(SingleInstance, AFolderTooDeepForTheSocketStillAllowsOneCopy) {
    const std::string top = freshRuntimeDir();
    ASSERT_FALSE(top.empty());
    const std::string dir = top + "/" + std::string(120, 'd');
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_TRUE(childClaims());
    EXPECT_TRUE(childClaims());
    std::filesystem::remove_all(top);
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
