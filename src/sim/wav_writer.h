// Writes captured 8-bit unsigned PCM as a RIFF wave file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool writeWav8(const std::string& path, uint32_t rate, uint16_t channels,
               const std::vector<uint8_t>& samples);
