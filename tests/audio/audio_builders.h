// Small sounds and modules built byte by byte for the audio tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

inline void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutLe16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutId(std::vector<uint8_t>& b, const char* id) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// A RIFF wave file: "fmt " with the given layout, optional extra chunks, then "data".
struct WaveLayout {
    uint32_t rate = 22050;
    uint16_t channels = 1;
    uint16_t bits = 8;
    std::vector<uint8_t> data;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> extraChunks;  // before data
};

inline std::vector<uint8_t> BuildWave(const WaveLayout& s) {
    std::vector<uint8_t> b;
    PutId(b, "RIFF");
    PutLe32(b, 0);  // not examined
    PutId(b, "WAVE");
    PutId(b, "fmt ");
    PutLe32(b, 16);
    PutLe16(b, 1);
    PutLe16(b, s.channels);
    PutLe32(b, s.rate);
    PutLe32(b, s.rate * s.channels * s.bits / 8);
    PutLe16(b, s.channels * s.bits / 8);
    PutLe16(b, s.bits);
    for (const auto& [id, body] : s.extraChunks) {
        PutId(b, id.c_str());
        PutLe32(b, static_cast<uint32_t>(body.size()));
        b.insert(b.end(), body.begin(), body.end());
    }
    PutId(b, "data");
    PutLe32(b, static_cast<uint32_t>(s.data.size()));
    b.insert(b.end(), s.data.begin(), s.data.end());
    return b;
}

// A four-track module: header, patterns, sample bytes.
class ModuleBuilder {
  public:
    explicit ModuleBuilder(int patternCount = 1) : patterns_(patternCount) {
        header_.assign(1084, 0);
        header_[950] = 1;
        header_[951] = 127;
        for (auto& p : patterns_) p.assign(1024, 0);
        header_[1080] = 'M';
        header_[1081] = '.';
        header_[1082] = 'K';
        header_[1083] = '.';
    }

    // Instrument k (1..31) with its sample bytes (an even count).
    ModuleBuilder& Instrument(int k, const std::vector<int8_t>& bytes, uint8_t volume = 64,
                              uint8_t finetune = 0, uint32_t loopStartWords = 0,
                              uint32_t loopWords = 0) {
        uint8_t* rec = &header_[20 + 30 * (k - 1)];
        const uint32_t words = static_cast<uint32_t>(bytes.size() / 2);
        rec[22] = static_cast<uint8_t>(words >> 8);
        rec[23] = static_cast<uint8_t>(words);
        rec[24] = finetune;
        rec[25] = volume;
        rec[26] = static_cast<uint8_t>(loopStartWords >> 8);
        rec[27] = static_cast<uint8_t>(loopStartWords);
        rec[28] = static_cast<uint8_t>(loopWords >> 8);
        rec[29] = static_cast<uint8_t>(loopWords);
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
        for (const auto& s : samples_)
            for (int8_t v : s) b.push_back(static_cast<uint8_t>(v));
        return b;
    }

  private:
    std::vector<uint8_t> header_;
    std::vector<std::vector<uint8_t>> patterns_;
    std::vector<std::vector<int8_t>> samples_;
};

}  // namespace audiotest
