// What only the browser's store does: the whole store as one stored string that a
// reload reads back, a damaged string kept aside, a full storage refusing a save
// without the game seeing a write that a reload would not find.
#include <emscripten.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../persist/store_fixture.h"
#include "platform/store/store.h"
#include "platform/web/store_snapshot.h"

namespace {

using namespace platform;

// clang-format off
EM_JS(void, set_stored, (const char* name, const char* text), {
    const m = globalThis.trStorage || (globalThis.trStorage = new Map());
    m.set(UTF8ToString(name), UTF8ToString(text));
});
EM_JS(int, stored_names_with, (const char* part), {
    const m = globalThis.trStorage || new Map();
    let n = 0;
    for (const k of m.keys()) if (k.includes(UTF8ToString(part))) n++;
    return n;
});
EM_JS(void, set_storage_full, (int full), { globalThis.trStorageFull = full !== 0; });
// clang-format on

class WebStoreTest : public StoreFixture {
  protected:
    void TearDown() override {
        set_storage_full(0);
        StoreFixture::TearDown();
    }
    std::string storageName() const { return "tallreed.store@" + dir_; }
};

TEST_F(WebStoreTest, ADamagedStoredStoreIsKeptAsideAndAFreshOneStarted) {
    putDword(u"Kept", 7);
    restart();
    const std::string good = web::encodeSnapshot(web::StoreSnapshot{});
    const std::string junk[] = {"not a store", good.substr(0, good.size() - 4),
                                std::string(good).replace(10, 1, good[10] == 'A' ? "B" : "A")};
    int moved = 0;
    for (const std::string& text : junk) {
        set_stored(storageName().c_str(), text.c_str());
        restart();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(getBytes(u"Kept").empty()) << text;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("moved to"), std::string::npos) << said;
        EXPECT_TRUE(storeIsPersistent());
        EXPECT_EQ(stored_names_with((storageName() + ".broken-").c_str()), ++moved)
            << "each damaged store is kept under a name of its own";
    }
}

TEST_F(WebStoreTest, AFullStorageRefusesTheWriteAndTheGameDoesNotSeeIt) {
    putDword(u"Before", 1);
    set_storage_full(1);
    EXPECT_EQ(setValue(u"After", REG_DWORD, {2, 0, 0, 0}), ERROR_DISK_FULL);
    EXPECT_TRUE(getBytes(u"After").empty()) << "what a reload would not find is not there now";
    beginStoreTransaction();
    putDword(u"InBatch", 3);
    EXPECT_EQ(commitStoreTransaction(), ERROR_DISK_FULL);
    EXPECT_TRUE(getBytes(u"InBatch").empty());
    set_storage_full(0);
    putDword(u"Later", 4);
    restart();
    EXPECT_EQ(getBytes(u"Before"), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(getBytes(u"Later"), (std::vector<uint8_t>{4, 0, 0, 0}));
    EXPECT_TRUE(getBytes(u"After").empty());
}

TEST(StoreSnapshot, EveryPartSurvivesTheRoundTripAndEveryCutIsRefused) {
    web::StoreSnapshot s;
    s.nextKeyId = 5;
    s.nextDatabaseId = 3;
    s.nextRecordId = 0xFFFFFFF0u;
    s.keys[{0x80000001, "quenmoor\\tallreed"}] =
        web::StoredKey{4, 0x80000001, "Quenmoor\\Tallreed", {}};
    s.keys[{0x80000001, "quenmoor\\tallreed"}].values["soundvol"] =
        web::StoredValue{"SoundVol", REG_DWORD, {64, 0, 0, 0}};
    web::StoredRecord r{77, {}};
    r.props.push_back(web::StoredProp{makePropId(0, CEVT_I4), -5, 0, {}});
    r.props.push_back(web::StoredProp{makePropId(1, CEVT_R8), 0, -2.5, {}});
    r.props.push_back(web::StoredProp{makePropId(2, CEVT_LPWSTR), 0, 0, u"N\u00c4ME\U0001F986"});
    s.databases.push_back(web::StoredDatabase{2, "HISCORE", 7, {r}});
    const std::string text = web::encodeSnapshot(s);
    const auto back = web::decodeSnapshot(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(web::encodeSnapshot(*back), text);
    EXPECT_EQ(back->nextRecordId, 0xFFFFFFF0u);
    const auto& props = back->databases.at(0).records.at(0).props;
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0].number, -5);
    EXPECT_EQ(props[1].real, -2.5);
    EXPECT_EQ(props[2].text, u"N\u00c4ME\U0001F986");
    EXPECT_EQ(back->keys.begin()->second.values.at("soundvol").data,
              (std::vector<uint8_t>{64, 0, 0, 0}));
    // Every shorter text and every changed character is refused, never half read.
    for (size_t n = 0; n < text.size(); n += 3)
        EXPECT_FALSE(web::decodeSnapshot(text.substr(0, n)).has_value()) << n;
    for (size_t i = 0; i < text.size(); i += 7) {
        std::string bad = text;
        bad[i] = bad[i] == 'A' ? 'B' : 'A';
        EXPECT_FALSE(web::decodeSnapshot(bad).has_value()) << i;
    }
}

}  // namespace

// The registry and database tests that every store must pass; the other store tests
// are about SQLite files and stay with the desktop.
int main(int argc, char** argv) {
    ::testing::GTEST_FLAG(filter) =
        "StoreTest.KeysAreCreatedOnce*:StoreTest.QueryingAValue*:StoreTest.DatabasesAreNamed*:"
        "StoreTest.SeekingWalks*:StoreTest.WritingPastTheLast*:StoreTest.EveryPropertyType*:"
        "StoreTest.BadWrites*:StoreTest.OnlyCommitted*:WebStoreTest.*:StoreSnapshot.*";
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // A shared test that was renamed must not drop out of the browser's run unnoticed.
    const int ran = ::testing::UnitTest::GetInstance()->test_to_run_count();
    if (ran < 11) {
        std::fprintf(stderr, "web store tests: only %d tests matched the list\n", ran);
        return 1;
    }
    return result;
}
