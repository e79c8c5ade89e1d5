// Where the window's size and place are kept: found by the XDG rules like the rest of the
// game's files, and written into folders that do not exist yet.
#include "platform/sdl/window_memory.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <tuple>

namespace {

using namespace platform::desktop;

TEST(WindowMemoryTest, KeptUnderTheConfigFolderEvenWithoutHomeAndReadBackWhole) {
    const std::string base = ::testing::TempDir() + "window_memory_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", (base + "/new/config").c_str(), 1);
    EXPECT_EQ(windowStatePath(), base + "/new/config/tallreed/window");
    platform::WindowState saved{-40, 25, 963, 722, true};
    saveWindowState(saved);  // the folders on the way do not exist yet
    platform::WindowState loaded;
    ASSERT_TRUE(loadWindowState(loaded));
    EXPECT_EQ(std::tuple(loaded.x, loaded.y, loaded.width, loaded.height, loaded.fullscreen),
              std::tuple(-40, 25, 963, 722, true));

    // A relative folder is ignored as the rules say; without HOME the account's own home.
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    unsetenv("HOME");
    const passwd* me = getpwuid(getuid());
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(windowStatePath(), std::string(me->pw_dir) + "/.config/tallreed/window");
    std::system(("rm -rf '" + base + "'").c_str());
}

}  // namespace
