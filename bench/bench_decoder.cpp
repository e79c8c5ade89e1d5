// Picture decoding against general-purpose decompressors on the same pixels: zlib's raw
// inflate with its state kept between calls (no header, no checksum, no allocation per
// call: the fair peer), zlib's one-call `uncompress`, and LZ4, a byte-aligned LZ77 whose
// speed is the upper reference for a decoder of a bit-level format like ours.
#include <lz4.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "graphics/picture_decoder.h"
#include "side_by_side.h"

namespace {

using side_by_side::GamePicture;

std::vector<uint8_t> deflated(const GamePicture& p, int windowBits) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, p.bytes()));
    z.next_in = reinterpret_cast<Bytef*>(p.pixels->pixels);
    z.avail_in = static_cast<uInt>(p.bytes());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Raw inflate that keeps its state: one reset per picture, then one call to the end.
class RawInflater {
  public:
    RawInflater() { inflateInit2(&z, -15); }
    ~RawInflater() { inflateEnd(&z); }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;
    void run(const std::vector<uint8_t>& in, uint8_t* out, size_t size) {
        inflateReset(&z);
        z.next_in = const_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = out;
        z.avail_out = static_cast<uInt>(size);
        inflate(&z, Z_FINISH);
    }

  private:
    z_stream z{};
};

bool same(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

void compare(const GamePicture& p) {
    const size_t n = p.bytes();
    const std::string base = "decode/" + p.name + "/";
    // Every decoder gets its own output buffer, checked against the pixels before timing.
    auto ours = std::make_shared<std::vector<uint8_t>>(n);
    decodePictureStream(p.resource, ours->data(), n);
    side_by_side::add(
        base + "ours", [&p, ours, n] { decodePictureStream(p.resource, ours->data(), n); }, n);

    auto raw = std::make_shared<std::vector<uint8_t>>(deflated(p, -15));
    auto inflater = std::make_shared<RawInflater>();
    auto rawOut = std::make_shared<std::vector<uint8_t>>(n);
    inflater->run(*raw, rawOut->data(), n);
    side_by_side::add(
        base + "zlib_raw_inflate",
        [raw, inflater, rawOut, n] { inflater->run(*raw, rawOut->data(), n); }, n);

    auto zlib = std::make_shared<std::vector<uint8_t>>(deflated(p, 15));
    auto zOut = std::make_shared<std::vector<uint8_t>>(n);
    auto uncompressInto = [zlib, zOut, n] {
        uLongf size = n;
        uncompress(zOut->data(), &size, zlib->data(), zlib->size());
    };
    uncompressInto();
    side_by_side::add(base + "zlib_uncompress", uncompressInto, n);

    auto lz4 = std::make_shared<std::vector<char>>(LZ4_compressBound(static_cast<int>(n)));
    lz4->resize(LZ4_compress_default(reinterpret_cast<const char*>(p.pixels->pixels), lz4->data(),
                                     static_cast<int>(n), static_cast<int>(lz4->size())));
    auto lz4Out = std::make_shared<std::vector<uint8_t>>(n);
    auto lz4Into = [lz4, lz4Out, n] {
        LZ4_decompress_safe(lz4->data(), reinterpret_cast<char*>(lz4Out->data()),
                            static_cast<int>(lz4->size()), static_cast<int>(n));
    };
    lz4Into();
    side_by_side::add(base + "lz4_upper_reference", lz4Into, n);

    std::printf("%s: %zu bytes of pixels; ours packs them in %zu, raw deflate in %zu, LZ4 in %zu\n",
                p.name.c_str(), n, p.resource.size(), raw->size(), lz4->size());
    side_by_side::pair(p.name + ": decode vs zlib raw inflate", base + "ours",
                       base + "zlib_raw_inflate", same(*ours, *rawOut));
    side_by_side::pair(p.name + ": decode vs zlib uncompress", base + "ours",
                       base + "zlib_uncompress", same(*ours, *zOut));
    side_by_side::pair(p.name + ": decode vs LZ4 (upper reference)", base + "ours",
                       base + "lz4_upper_reference", same(*ours, *lz4Out));
}

}  // namespace

int main(int argc, char** argv) {
    for (const GamePicture& p : side_by_side::gamePictures()) compare(p);
    return side_by_side::runAndReport(argc, argv);
}
