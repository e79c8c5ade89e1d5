// The store tests' fixture resets the headless backend and reads its message boxes; the
// browser's store tests run without that backend, and the store itself shows no boxes.
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace headless {

void reset(uint32_t /*startTick*/) {}

const std::vector<std::string>& messageBoxes() {
    static const std::vector<std::string> none;
    return none;
}

}  // namespace headless
