// Runs the pctool program that the build puts beside this test program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
        const std::string cmd = tool.string() + " " + args + " >/dev/null 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::vector<uint8_t> readAll(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path tool;
    fs::path dir;
};

TEST_F(PctoolTest, EncodeThenDecodeGivesTheRgb565Picture) {
    const int w = 7, h = 5;
    std::vector<uint8_t> rgb(w * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 29 + 3);
    ASSERT_TRUE(platform::writePngRGB(path("in.png"), w, h, rgb));
    ASSERT_EQ(run("encode " + path("in.png") + " " + path("p.pct")), 0);
    ASSERT_EQ(run("decode " + path("p.pct") + " 7 5 " + path("out.png")), 0);
    int ow = 0, oh = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::readPngRGB(path("out.png"), ow, oh, back));
    ASSERT_EQ(ow, w);
    ASSERT_EQ(oh, h);
    for (int i = 0; i < w * h; ++i) {
        uint8_t want[3];
        platform::rgbFrom565(platform::rgbTo565(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]), want);
        for (int c = 0; c < 3; ++c) ASSERT_EQ(back[3 * i + c], want[c]) << i << "/" << c;
    }
}

TEST_F(PctoolTest, ExtractCopiesAPackedResourceByteForByte) {
    const auto entries = platform::parsePack(platform::linkedPack());
    if (entries.empty()) GTEST_SKIP() << "no resources packed in this build";
    for (const char* type : {"PCT", "WAVE"}) {
        for (const auto& e : entries) {
            if (e.type != type) continue;
            const std::string out = path(std::string(type) + ".bin");
            ASSERT_EQ(run(std::string("extract ") + type + " " + std::to_string(e.id) + " " + out),
                      0);
            const std::vector<uint8_t> got = readAll(out);
            EXPECT_TRUE(std::equal(got.begin(), got.end(), e.bytes.begin(), e.bytes.end())) << e.id;
            break;
        }
    }
}

TEST_F(PctoolTest, MissingResourcesAndBadArgumentsFail) {
    EXPECT_EQ(run("extract PCT 65000 " + path("none")), 1);
    EXPECT_FALSE(fs::exists(path("none")));
    struct Case {
        std::string args;
        int status;
    };
    for (const Case& c :
         {Case{"", 2}, Case{"frobnicate", 2}, Case{"encode onlyone", 2},
          Case{"decode a.pct 0 5 b.png", 2}, Case{"decode a.pct 5x 5 b.png", 2},
          Case{"extract BMP 1 out", 2}, Case{"extract PCT -3 out", 2},
          Case{"decode " + path("absent.pct") + " 4 4 " + path("o.png"), 1},
          Case{"encode " + path("absent.png") + " " + path("o.pct"), 1}, Case{"info", 0}})
        EXPECT_EQ(run(c.args), c.status) << c.args;
}

}  // namespace
