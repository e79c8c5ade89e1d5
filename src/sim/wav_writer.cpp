// RIFF wave output for the captured sound.
#include "sim/wav_writer.h"

#include <fstream>

namespace {
void put32(std::ofstream& out, uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.write(b, 4);
}
void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
}
}  // namespace

bool writeWav8(const std::string& path, uint32_t rate, uint16_t channels,
               const std::vector<uint8_t>& samples) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size());
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes + (dataBytes & 1));
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels);  // one byte per sample
    put16(out, channels);
    put16(out, 8);
    out.write("data", 4);
    put32(out, dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
    if (dataBytes & 1) out.put('\x80');  // chunks are padded to an even length
    return static_cast<bool>(out);
}
