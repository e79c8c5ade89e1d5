// A caller's description of one sample to start, built on the caller's stack and
// discarded after the engine took what it needs.
#pragma once

#include <cstdint>

struct SoundRequest {
    SoundRequest() = default;
    ~SoundRequest();
    SoundRequest(const SoundRequest&) = delete;
    SoundRequest& operator=(const SoundRequest&) = delete;

    const uint8_t* data = nullptr;  // null: nothing loaded
    uint32_t rate = 0;
    uint32_t length = 0;  // bytes
    uint32_t volume = 64;
    uint8_t loop = 0;
    // Set only for memory allocated with new[] that the request must free; resource
    // bytes are never owned.
    uint8_t ownsData = 0;
};
