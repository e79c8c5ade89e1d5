// The simulator's script: one command per line, '#' starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop_mapping.h"

struct SimCommand {
    enum Kind {
        Wait,
        Tap,
        Down,
        Drag,
        Up,
        Press,
        Release,
        TapDuck,
        Minimise,
        Unfocus,
        Shot,
        Dump,
        Quit
    };
    Kind kind = Wait;
    int a = 0, b = 0;  // milliseconds, or a device position
    platform::DesktopKey key = platform::DesktopKey::Enter;
    std::string name;  // file name of a shot or dump, without folder or extension
    int line = 0;
};

// Parses a whole script. On the first bad line, returns false with a message naming it.
bool parseScript(const std::string& text, std::vector<SimCommand>& out, std::string& error);
