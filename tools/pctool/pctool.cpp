// pctool: picture resources on the command line.
//
//   pctool encode IN.png OUT.pct               RGB PNG -> picture resource (RGB565, truncated)
//   pctool decode IN.pct WIDTH HEIGHT OUT.png  picture resource -> PNG (device orientation)
//   pctool extract TYPE ID OUT                 a resource of the linked pack, byte for byte
//   pctool info                                lists the linked pack
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "encoder.h"
#include "graphics/picture_decoder.h"
#include "platform/platform.h"
#include "platform/png_io.h"
#include "platform/resource_pack.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: pctool encode IN.png OUT.pct\n"
                 "       pctool decode IN.pct WIDTH HEIGHT OUT.png\n"
                 "       pctool extract TYPE ID OUT      (TYPE is PCT, WAVE or MUSIC)\n"
                 "       pctool info\n");
    return 2;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

// A whole decimal number within [lo, hi]; anything else is a usage error.
bool parseInt(const char* s, long lo, long hi, long& out) {
    if (s == nullptr || *s == '\0') return false;
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

int encode(const std::string& in, const std::string& out) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    if (!platform::readPngRGB(in, w, h, rgb)) {
        std::fprintf(stderr, "pctool: cannot read %s\n", in.c_str());
        return 1;
    }
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<uint8_t> pixels(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const uint16_t p = platform::rgbTo565(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        pixels[2 * i] = static_cast<uint8_t>(p & 0xFF);
        pixels[2 * i + 1] = static_cast<uint8_t>(p >> 8);
    }
    const std::vector<uint8_t> res = encodePicture(pixels);
    if (!writeFile(out, res.data(), res.size())) {
        std::fprintf(stderr, "pctool: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %zu bytes of pixels -> %zu bytes\n", out.c_str(), w, h, n * 2,
                res.size());
    return 0;
}

int decode(const std::string& in, long w, long h, const std::string& out) {
    std::vector<uint8_t> res;
    if (!readFile(in, res)) {
        std::fprintf(stderr, "pctool: cannot read %s\n", in.c_str());
        return 1;
    }
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<uint8_t> pixels(n * 2, 0);
    const size_t got = decodePictureStream(res, pixels.data(), pixels.size());
    if (got < pixels.size())
        std::fprintf(stderr, "pctool: %s holds %zu of %zu bytes; the rest is black\n", in.c_str(),
                     got, pixels.size());
    std::vector<uint8_t> rgb(n * 3);
    for (size_t i = 0; i < n; ++i) {
        const uint16_t p = static_cast<uint16_t>(pixels[2 * i] | (pixels[2 * i + 1] << 8));
        platform::rgbFrom565(p, &rgb[3 * i]);
    }
    if (!platform::writePngRGB(out, static_cast<int>(w), static_cast<int>(h), rgb)) {
        std::fprintf(stderr, "pctool: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int extract(const std::string& type, long id, const std::string& out) {
    const std::span<const uint8_t> bytes =
        platform::findResource(type.c_str(), static_cast<int>(id));
    if (bytes.empty()) {
        std::fprintf(stderr, "pctool: no resource %s %ld in this program's pack\n", type.c_str(),
                     id);
        return 1;
    }
    if (!writeFile(out, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "pctool: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int info() {
    const std::vector<platform::PackEntry> entries = platform::parsePack(platform::linkedPack());
    size_t total = 0;
    for (const platform::PackEntry& e : entries) {
        std::printf("%-6s %6d %9zu\n", e.type.c_str(), e.id, e.bytes.size());
        total += e.bytes.size();
    }
    std::printf("%zu resources, %zu bytes\n", entries.size(), total);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string cmd = argv[1];
    if (cmd == "encode" && argc == 4) return encode(argv[2], argv[3]);
    if (cmd == "decode" && argc == 6) {
        long w = 0, h = 0;
        if (!parseInt(argv[3], 1, 4096, w) || !parseInt(argv[4], 1, 4096, h)) return usage();
        return decode(argv[2], w, h, argv[5]);
    }
    if (cmd == "extract" && argc == 5) {
        long id = 0;
        const std::string type = argv[2];
        if (type != "PCT" && type != "WAVE" && type != "MUSIC") return usage();
        if (!parseInt(argv[3], 0, 65535, id)) return usage();
        return extract(type, id, argv[4]);
    }
    if (cmd == "info" && argc == 2) return info();
    return usage();
}
