#include "platform/sdl/window_memory.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/host_folders.h"

namespace platform::desktop {

std::string windowStatePath() {
    const std::string config = xdgFolder("XDG_CONFIG_HOME", ".config");
    return config.empty() ? "" : config + "/tallreed/window";
}

bool loadWindowState(WindowState& s) {
    const std::string path = windowStatePath();
    if (path.empty()) return false;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return in && parseWindowState(text.str(), s);
}

void saveWindowState(const WindowState& s) {
    const std::string path = windowStatePath();
    if (path.empty()) return;
    // The folders on the way, made if missing; a failure shows at the write below.
    makeFolders(path.substr(0, path.rfind('/')), 0700);
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << formatWindowState(s);
        if (!out.flush()) return;
    }
    std::rename(temp.c_str(), path.c_str());
}

}  // namespace platform::desktop
