// Small sounds and modules built byte by byte for the audio tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/sound_request.h"

namespace audiotest {

inline void SetRequest(SoundRequest& r, const uint8_t* data, uint32_t length, uint32_t rate,
                       uint32_t volume = 64, uint8_t loop = 0) {
    r.data = data;
    r.length = length;
    r.rate = rate;
    r.volume = volume;
    r.loop = loop;
}

inline void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutId(std::vector<uint8_t>& b, const std::string& id) {
    b.insert(b.end(), id.begin(), id.begin() + 4);
}

// A RIFF wave file: "fmt " with these fields, optional extra chunks, then "data".
struct WaveLayout {
    uint32_t rate = 22050;
    uint16_t channels = 1;
    uint16_t bits = 8;
    std::vector<uint8_t> data;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> extraChunks;  // before data
};

inline std::vector<uint8_t> BuildWave(const WaveLayout& w) {
    std::vector<uint8_t> b;
    PutId(b, "RIFF");
    PutLe(b, 0, 4);  // not examined
    PutId(b, "WAVE");
    PutId(b, "fmt ");
    const uint32_t frame = w.channels * w.bits / 8;
    for (auto [v, n] : {std::pair<uint32_t, int>{16, 4},
                        {1, 2},
                        {w.channels, 2},
                        {w.rate, 4},
                        {w.rate * frame, 4},
                        {frame, 2},
                        {w.bits, 2}})
        PutLe(b, v, n);
    for (const auto& [id, body] : w.extraChunks) {
        PutId(b, id);
        PutLe(b, static_cast<uint32_t>(body.size()), 4);
        b.insert(b.end(), body.begin(), body.end());
    }
    PutId(b, "data");
    PutLe(b, static_cast<uint32_t>(w.data.size()), 4);
    b.insert(b.end(), w.data.begin(), w.data.end());
    return b;
}

// A four-track module ("M.K."): header, patterns, sample bytes.
class ModuleBuilder {
  public:
    explicit ModuleBuilder(int patternCount = 1) : patterns_(patternCount) {
        header_.assign(1084, 0);
        Song({0});
        for (auto& p : patterns_) p.assign(1024, 0);
        for (int i = 0; i < 4; ++i) header_[1080 + i] = static_cast<uint8_t>("M.K."[i]);
    }

    // Instrument k (1..31) with its sample bytes (an even count); loop in words.
    ModuleBuilder& Instrument(int k, const std::vector<int8_t>& bytes, uint8_t volume = 64,
                              uint8_t finetune = 0, uint32_t loopStart = 0, uint32_t loop = 0) {
        uint8_t* rec = &header_[20 + 30 * (k - 1) + 22];
        const uint32_t fields[4] = {static_cast<uint32_t>(bytes.size() / 2),
                                    (uint32_t{finetune} << 8) | volume, loopStart, loop};
        for (int i = 0; i < 4; ++i) {
            rec[2 * i] = static_cast<uint8_t>(fields[i] >> 8);
            rec[2 * i + 1] = static_cast<uint8_t>(fields[i]);
        }
        if (samples_.size() < static_cast<size_t>(k + 1)) samples_.resize(k + 1);
        samples_[k] = bytes;
        return *this;
    }

    ModuleBuilder& Song(const std::vector<uint8_t>& order, uint8_t restart = 127) {
        header_[950] = static_cast<uint8_t>(order.size());
        header_[951] = restart;
        for (size_t i = 0; i < order.size(); ++i) header_[952 + i] = order[i];
        return *this;
    }

    // An order entry past the song's length (Song sets those before it).
    ModuleBuilder& Order(int position, uint8_t pattern) {
        header_[952 + position] = pattern;
        return *this;
    }

    ModuleBuilder& Note(int pattern, int row, int track, uint32_t period, uint32_t instrument,
                        uint32_t effect = 0, uint32_t parameter = 0) {
        uint8_t* n = &patterns_[pattern][(row * 4 + track) * 4];
        n[0] = static_cast<uint8_t>((instrument & 0xF0) | ((period >> 8) & 0x0F));
        n[1] = static_cast<uint8_t>(period);
        n[2] = static_cast<uint8_t>(((instrument & 0x0F) << 4) | (effect & 0x0F));
        n[3] = static_cast<uint8_t>(parameter);
        return *this;
    }

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> b = header_;
        for (const auto& p : patterns_) b.insert(b.end(), p.begin(), p.end());
        for (const auto& s : samples_) b.insert(b.end(), s.begin(), s.end());
        return b;
    }

  private:
    std::vector<uint8_t> header_;
    std::vector<std::vector<uint8_t>> patterns_;
    std::vector<std::vector<int8_t>> samples_;
};

}  // namespace audiotest
