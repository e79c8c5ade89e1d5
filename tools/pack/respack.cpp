// respack: turns the generated pictures (PNG, device orientation) and sounds (RIFF
// WAVE) into the resource pack linked into the game.
//
//   respack --png-dir DIR --wave-dir DIR --cache DIR --out PACK
//
// DIR/<id>.png becomes "PCT" <id> (RGB565 pixels, row by row, encoded); DIR/<id>.wav
// becomes "WAVE" <id> as it is. Encoded pictures are cached as CACHE/<id>.pct and only
// re-encoded when their PNG is newer, so a rebuild without art changes is quick.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../pctool/encoder.h"
#include "platform/png_io.h"
#include "platform/resource_pack.h"

namespace fs = std::filesystem;

namespace {

bool readFile(const fs::path& p, std::vector<uint8_t>& out) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool writeFileAtomically(const fs::path& p, const std::vector<uint8_t>& bytes) {
    const fs::path tmp = p.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    fs::rename(tmp, p);
    return true;
}

// Numeric file stems only: "146.png" -> 146.
bool idOf(const fs::path& p, int& id) {
    const std::string stem = p.stem().string();
    if (stem.empty() || stem.size() > 6) return false;
    for (char c : stem)
        if (c < '0' || c > '9') return false;
    id = std::atoi(stem.c_str());
    return true;
}

bool encodePng(const fs::path& png, const fs::path& pct) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    if (!platform::readPngRGB(png.string(), w, h, rgb)) return false;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 2);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        const uint16_t p = platform::rgbTo565(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        pixels[2 * i] = static_cast<uint8_t>(p & 0xFF);
        pixels[2 * i + 1] = static_cast<uint8_t>(p >> 8);
    }
    return writeFileAtomically(pct, encodePicture(pixels));
}

}  // namespace

int main(int argc, char** argv) {
    fs::path pngDir, waveDir, cacheDir, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--png-dir") pngDir = argv[i + 1];
        else if (a == "--wave-dir") waveDir = argv[i + 1];
        else if (a == "--cache") cacheDir = argv[i + 1];
        else if (a == "--out") out = argv[i + 1];
        else {
            std::fprintf(stderr, "respack: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (out.empty() || cacheDir.empty()) {
        std::fprintf(stderr, "usage: respack --png-dir DIR --wave-dir DIR --cache DIR --out PACK\n");
        return 2;
    }
    fs::create_directories(cacheDir);
    fs::create_directories(out.parent_path());

    std::vector<std::vector<uint8_t>> storage;
    std::vector<platform::PackEntry> entries;
    std::vector<std::pair<int, fs::path>> pngs, waves;
    if (!pngDir.empty() && fs::is_directory(pngDir))
        for (const auto& e : fs::directory_iterator(pngDir)) {
            int id;
            if (e.path().extension() == ".png" && idOf(e.path(), id)) pngs.emplace_back(id, e.path());
        }
    if (!waveDir.empty() && fs::is_directory(waveDir))
        for (const auto& e : fs::directory_iterator(waveDir)) {
            int id;
            if (e.path().extension() == ".wav" && idOf(e.path(), id)) waves.emplace_back(id, e.path());
        }
    std::sort(pngs.begin(), pngs.end());
    std::sort(waves.begin(), waves.end());
    storage.reserve(pngs.size() + waves.size());

    int encoded = 0;
    for (const auto& [id, png] : pngs) {
        const fs::path pct = cacheDir / (std::to_string(id) + ".pct");
        if (!fs::exists(pct) || fs::last_write_time(pct) < fs::last_write_time(png)) {
            if (!encodePng(png, pct)) {
                std::fprintf(stderr, "respack: cannot encode %s\n", png.c_str());
                return 1;
            }
            ++encoded;
        }
        storage.emplace_back();
        if (!readFile(pct, storage.back())) return 1;
        entries.push_back({"PCT", id, storage.back()});
    }
    for (const auto& [id, wav] : waves) {
        storage.emplace_back();
        if (!readFile(wav, storage.back())) return 1;
        entries.push_back({"WAVE", id, storage.back()});
    }
    if (!writeFileAtomically(out, platform::buildPack(entries))) {
        std::fprintf(stderr, "respack: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("respack: %zu pictures (%d encoded now), %zu sounds\n", pngs.size(), encoded,
                waves.size());
    return 0;
}
