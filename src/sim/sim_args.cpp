#include "sim/sim_args.h"

#include <cerrno>
#include <cstdlib>

bool parseSimArgs(int argc, const char* const* argv, SimOptions& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--store" && hasValue) {
            out.store = argv[++i];
        } else if (arg == "--out" && hasValue) {
            out.out = argv[++i];
        } else if (arg == "--audio" && hasValue) {
            out.audio = argv[++i];
        } else if (arg == "--clock-start" && hasValue) {
            const char* text = argv[++i];
            char* end = nullptr;
            errno = 0;
            const unsigned long v = std::strtoul(text, &end, 10);
            if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || v > 0xFFFFFFFFul)
                return false;
            out.clockStart = static_cast<uint32_t>(v);
        } else if (!arg.empty() && arg[0] != '-' && out.script.empty()) {
            out.script = arg;
        } else {
            return false;
        }
    }
    return !out.script.empty();
}
