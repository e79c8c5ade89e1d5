// Untrusted bytes as the simulator's command line and script: the input up to the first
// pair of zero bytes is the argument list (one argument per zero-ended run), the rest
// the script. Nothing may crash, and what is accepted must be sound: a script name in
// every command line that is taken, file names that stay inside the output folder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/sim_args.h"
#include "sim/sim_script.h"

namespace {

void checkName(const std::string& name) {
    if (name.empty() || name.size() > 100 || name[0] == '.') std::abort();
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(std::string("\0\0", 2));
    const std::string args = input.substr(0, split);
    const std::string script = split == std::string::npos ? "" : input.substr(split + 2);

    std::vector<std::string> words = {"tallreed-sim"};
    for (size_t at = 0; at <= args.size();) {
        const size_t end = std::min(args.find('\0', at), args.size());
        words.push_back(args.substr(at, end - at));
        at = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    SimOptions options;
    if (parseSimArgs(static_cast<int>(argv.size()), argv.data(), options) &&
        (options.script.empty() || options.script[0] == '-'))
        std::abort();

    std::vector<SimCommand> commands;
    std::string error;
    if (parseScript(script, commands, error)) {
        int line = 0;
        for (const SimCommand& c : commands) {
            if (c.line <= line) std::abort();  // in order, one command per line
            line = c.line;
            if (c.kind == SimCommand::Shot || c.kind == SimCommand::Dump) checkName(c.name);
        }
    } else if (error.empty()) {
        std::abort();  // a refused script says why
    }
    return 0;
}
