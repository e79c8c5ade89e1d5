// Feeds arbitrary bytes to the store: as the whole file, as a good file with bytes
// written over it, and as the values and properties inside a good file. The settings
// and the score table are then loaded from it; nothing may crash or read out of bounds,
// and the loaded names always end inside their fields.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "persist/hiscore_table.h"
#include "persist/settings.h"
#include "platform/headless/headless.h"
#include "platform/store/store.h"

namespace {

namespace fs = std::filesystem;

class Bytes {
  public:
    Bytes(const uint8_t* d, size_t n) : d_(d), n_(n) {}
    bool empty() const { return pos_ >= n_; }
    uint8_t byte() { return pos_ < n_ ? d_[pos_++] : 0; }
    uint32_t word() { return byte() | (byte() << 8) | (byte() << 16) | (uint32_t(byte()) << 24); }
    std::vector<uint8_t> take(size_t count) {
        std::vector<uint8_t> out;
        while (count-- && !empty()) out.push_back(byte());
        return out;
    }

  private:
    const uint8_t* d_;
    size_t n_;
    size_t pos_ = 0;
};

const std::string& folder() {
    static const std::string dir = [] {
        // Memory-backed when there is such a folder: every save waits for the disk.
        std::string tmpl = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        tmpl += "/tallreed-fuzz-store-XXXXXX";
        static std::string made = mkdtemp(tmpl.data());
        std::atexit([] {
            platform::closeStore();
            fs::remove_all(made);
        });
        return made;
    }();
    return dir;
}

void clearFolder() {
    platform::closeStore();
    for (const auto& e : fs::directory_iterator(folder())) fs::remove_all(e.path());
}

// Runs f with stderr silenced: a damaged store is reported on every run otherwise.
template <class F>
void quietly(F f) {
    std::fflush(stderr);
    const int saved = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    f();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(null);
}

const char16_t* const kValueNames[] = {u"SoundVol",    u"MusicVol",      u"KilledDucks",
                                       u"KilledLeafs", u"NegPoints",     u"PersentageSuccess",
                                       u"LastScores",  u"MenuAnimation", u"SpecialEffects",
                                       u"UserName",    u"PlayerName"};

const uint16_t kTypes[] = {platform::CEVT_I2,    platform::CEVT_I4,  platform::CEVT_R8,
                           platform::CEVT_BOOL,  platform::CEVT_UI2, platform::CEVT_UI4,
                           platform::CEVT_LPWSTR};

// A store with the game's key and database, holding values made from the input.
void fillStore(Bytes& in) {
    platform::HKEY key = 0;
    platform::regCreateKey(platform::HKEY_CURRENT_USER, u"Quenmoor\\Tallreed", &key, nullptr);
    for (const char16_t* name : kValueNames) {
        const uint8_t how = in.byte();
        if (how % 5 == 0) continue;  // missing
        const uint32_t type =
            how % 5 == 1 ? in.word() : (how & 1 ? platform::REG_SZ : platform::REG_DWORD);
        const std::vector<uint8_t> value = in.take(in.byte() % 64);
        platform::regSetValue(key, name, type, value.data(), static_cast<uint32_t>(value.size()));
    }
    platform::regCloseKey(key);

    platform::ceCreateDatabase(u"HISCORE", in.word());
    const platform::DbHandle db = platform::ceOpenDatabase(u"HISCORE");
    const int records = in.byte() % 14;
    for (int r = 0; r < records && !in.empty(); ++r) {
        const int count = in.byte() % 8;
        std::vector<platform::CEPROPVAL> props(count);
        std::vector<std::u16string> texts(count);
        for (int i = 0; i < count; ++i) {
            const uint16_t type = kTypes[in.byte() % 7];
            props[i].propid = platform::makePropId(in.byte() % 8, type);
            props[i].val.raw = uint64_t(in.word()) | (uint64_t(in.word()) << 32);
            if (type == platform::CEVT_LPWSTR) {
                const size_t length = in.byte() % 4 == 0 ? 300 + in.byte() : in.byte() % 16;
                for (size_t c = 0; c < length; ++c) texts[i] += char16_t(in.byte() | 0x20);
                props[i].val.lpwstr = texts[i].data();
            }
        }
        platform::ceWriteRecordProps(db, 0, static_cast<uint16_t>(count), props.data());
    }
    platform::ceCloseHandle(db);
}

void loadAndCheck() {
    Settings s(nullptr);
    if (s.userName[8] != 0 || s.playerName[8] != 0) __builtin_trap();
    for (const HiScoreRecord& r : s.hiScores->records)
        if (r.name[9] != 0) __builtin_trap();
    s.hiScores->Sort();
    HiScoreRecord out;
    for (int i = 0; i < s.hiScores->CountFilled(); ++i) s.hiScores->GetRecord(i, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    headless::reset();
    platform::setStoreDirectory(folder());
    platform::setStoreBusyTimeout(0);
    clearFolder();
    Bytes in(data, size);
    const std::string path = folder() + "/tallreed.db";
    quietly([&] {
        switch (in.byte() % 3) {
            case 0: {  // the bytes are the file
                std::ofstream(path, std::ios::binary)
                    .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
                break;
            }
            case 1:  // a good file with values from the bytes
                fillStore(in);
                platform::closeStore();
                break;
            default: {  // a good file, then bytes written over it here and there
                fillStore(in);
                platform::closeStore();
                std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
                while (!in.empty()) {
                    const uint32_t at = in.word() % 8192;
                    const std::vector<uint8_t> patch = in.take(in.byte() % 32);
                    f.seekp(at);
                    f.write(reinterpret_cast<const char*>(patch.data()),
                            static_cast<std::streamsize>(patch.size()));
                }
                break;
            }
        }
        loadAndCheck();
        platform::closeStore();
    });
    return 0;
}
