// Reading the simulator's script language.
#include "sim/sim_script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

bool parseInt(const std::string& word, long lo, long hi, int& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

// Names become file names inside the output folder: nothing that could leave it.
bool validName(const std::string& name) {
    if (name.empty() || name.size() > 100 || name[0] == '.') return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

bool parseKey(const std::string& word, platform::DesktopKey& key) {
    using platform::DesktopKey;
    struct Entry {
        const char* name;
        DesktopKey key;
    };
    static const Entry kKeys[] = {
        {"left", DesktopKey::Left},     {"right", DesktopKey::Right},  {"up", DesktopKey::Up},
        {"down", DesktopKey::Down},     {"action", DesktopKey::Enter}, {"hw1", DesktopKey::Digit1},
        {"hw2", DesktopKey::Digit2},    {"hw3", DesktopKey::Digit3},   {"hw4", DesktopKey::Digit4},
        {"escape", DesktopKey::Escape}, {"pause", DesktopKey::P},
    };
    for (const Entry& e : kKeys) {
        if (word == e.name) {
            key = e.key;
            return true;
        }
    }
    return false;
}

}  // namespace

bool parseScript(const std::string& text, std::vector<SimCommand>& out, std::string& error) {
    std::istringstream lines(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(lines, raw)) {
        ++lineNo;
        const size_t hash = raw.find('#');
        if (hash != std::string::npos) raw.erase(hash);
        std::istringstream words(raw);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;

        SimCommand c;
        c.line = lineNo;
        const std::string& op = w[0];
        const size_t args = w.size() - 1;
        bool ok = false;
        if (op == "wait") {
            c.kind = SimCommand::Wait;
            ok = args == 1 && parseInt(w[1], 0, 100000000, c.a);
        } else if (op == "tap" || op == "down" || op == "drag" || op == "up") {
            c.kind = op == "tap"    ? SimCommand::Tap
                     : op == "down" ? SimCommand::Down
                     : op == "drag" ? SimCommand::Drag
                                    : SimCommand::Up;
            ok = args == 2 && parseInt(w[1], -32768, 32767, c.a) &&
                 parseInt(w[2], -32768, 32767, c.b);
        } else if (op == "press" || op == "release") {
            c.kind = op == "press" ? SimCommand::Press : SimCommand::Release;
            ok = args == 1 && parseKey(w[1], c.key);
        } else if (op == "tap-duck") {
            c.kind = SimCommand::TapDuck;
            ok = args == 0;
        } else if (op == "shot" || op == "dump") {
            c.kind = op == "shot" ? SimCommand::Shot : SimCommand::Dump;
            ok = args == 1 && validName(w[1]);
            if (ok) c.name = w[1];
        } else if (op == "minimise" || op == "unfocus") {
            c.kind = op == "minimise" ? SimCommand::Minimise : SimCommand::Unfocus;
            ok = args == 0;
        } else if (op == "quit") {
            c.kind = SimCommand::Quit;
            ok = args == 0;
        } else {
            error = "line " + std::to_string(lineNo) + ": unknown command \"" + op + "\"";
            return false;
        }
        if (!ok) {
            error = "line " + std::to_string(lineNo) + ": bad arguments for \"" + op + "\"";
            return false;
        }
        out.push_back(c);
    }
    return true;
}
