// Runs a fuzz target without libFuzzer: random inputs of random sizes from a fixed
// seed, plus every file named on the command line. Under the sanitizer build this is a
// bounded smoke run; the coverage-guided runs use clang's libFuzzer with the same target.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    long runs = 1000;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::atol(argv[++i]);
        else
            files.push_back(argv[i]);
    }
    for (const char* f : files) {
        std::ifstream in(f, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::mt19937 rng(12345);
    std::vector<uint8_t> buf;
    for (long r = 0; r < runs; ++r) {
        // Mostly small inputs, sometimes large ones, sometimes structured-looking runs.
        const size_t size = (r % 10 == 0) ? rng() % 70000 : rng() % 2048;
        buf.resize(size);
        const int style = static_cast<int>(rng() % 3);
        for (size_t i = 0; i < size; ++i) {
            const uint32_t v = rng();
            buf[i] = style == 0 ? static_cast<uint8_t>(v) : style == 1 ? static_cast<uint8_t>(v % 4) : static_cast<uint8_t>(i * 7 + (v % 2));
        }
        LLVMFuzzerTestOneInput(buf.data(), buf.size());
    }
    std::printf("%ld random inputs and %zu files passed\n", runs, files.size());
    return 0;
}
