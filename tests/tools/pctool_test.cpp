// Runs the pctool program that the build puts beside this test program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/png_io.h"
#include "platform/resource_pack.h"

namespace fs = std::filesystem;

namespace {

class PctoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tool = fs::read_symlink("/proc/self/exe").parent_path() / "pctool";
        if (!fs::exists(tool)) GTEST_SKIP() << "pctool is not built";
        char tmpl[] = "/tmp/pctool_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        if (!dir.empty()) fs::remove_all(dir);
    }
    int run(const std::string& args) {
        const int status = std::system((tool.string() + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    fs::path tool, dir;
};

TEST_F(PctoolTest, EncodeThenDecodeGivesTheRgb565Picture) {
    std::vector<uint8_t> rgb(7 * 5 * 3), back;
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 29 + 3);
    ASSERT_TRUE(platform::writePngRGB(path("in.png"), 7, 5, rgb));
    ASSERT_EQ(run("encode " + path("in.png") + " " + path("p.pct")), 0);
    ASSERT_EQ(run("decode " + path("p.pct") + " 7 5 " + path("out.png")), 0);
    int w = 0, h = 0;
    ASSERT_TRUE(platform::readPngRGB(path("out.png"), w, h, back));
    ASSERT_EQ(std::pair(w, h), std::pair(7, 5));
    for (size_t i = 0; i < rgb.size(); i += 3) {
        uint8_t want[3];
        platform::rgbFrom565(platform::rgbTo565(rgb[i], rgb[i + 1], rgb[i + 2]), want);
        for (int c = 0; c < 3; ++c) ASSERT_EQ(back[i + c], want[c]) << i << "/" << c;
    }
}

TEST_F(PctoolTest, ExtractCopiesAPackedResourceByteForByte) {
    const auto entries = platform::parsePack(platform::linkedPack());
    if (entries.empty()) GTEST_SKIP() << "no resources packed in this build";
    for (const char* type : {"PCT", "WAVE"}) {
        const auto e = std::find_if(entries.begin(), entries.end(),
                                    [type](const auto& entry) { return entry.type == type; });
        if (e == entries.end()) continue;
        const std::string out = path(type);
        ASSERT_EQ(run(std::string("extract ") + type + " " + std::to_string(e->id) + " " + out), 0);
        std::ifstream in(out, std::ios::binary);
        const std::vector<uint8_t> got((std::istreambuf_iterator<char>(in)), {});
        EXPECT_TRUE(std::equal(got.begin(), got.end(), e->bytes.begin(), e->bytes.end())) << e->id;
    }
}

TEST_F(PctoolTest, MissingResourcesAndBadArgumentsFail) {
    EXPECT_EQ(run("extract PCT 65000 " + path("none")), 1);
    EXPECT_FALSE(fs::exists(path("none")));
    EXPECT_EQ(run("decode " + path("absent.pct") + " 4 4 " + path("o.png")), 1);
    EXPECT_EQ(run("encode " + path("absent.png") + " " + path("o.pct")), 1);
    EXPECT_EQ(run("info"), 0);
    for (const char* usage : {"", "frobnicate", "encode onlyone", "decode a.pct 0 5 b.png",
                              "decode a.pct 5x 5 b.png", "extract BMP 1 out", "extract PCT -3 out"})
        EXPECT_EQ(run(usage), 2) << usage;
}

}  // namespace
