// The simulator's command line.
#pragma once

#include <cstdint>
#include <string>

struct SimOptions {
    std::string store;  // "" = the user's own store
    std::string out = ".";
    std::string audio;  // "" = no capture
    std::string script;
    uint32_t clockStart = 1000000;
};

// Reads the arguments after the program name. False on anything it does not know, a
// missing value or a missing script: the caller then shows the usage.
bool parseSimArgs(int argc, const char* const* argv, SimOptions& out);
