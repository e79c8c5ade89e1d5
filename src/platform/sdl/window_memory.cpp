#include "platform/sdl/window_memory.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace platform::desktop {

std::string windowStatePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') return "";
        folder = std::string(home) + "/.config";
    }
    return folder + "/tallreed/window";
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
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0700);
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << formatWindowState(s);
        if (!out.flush()) return;
    }
    std::rename(temp.c_str(), path.c_str());
}

}  // namespace platform::desktop
