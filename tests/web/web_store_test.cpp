// What only the browser's store does: the whole store as one stored string that a
// reload reads back, a damaged string kept aside, a full storage refusing a save
// without the game seeing a write that a reload would not find.
#include <emscripten.h>
#include <gtest/gtest.h>

#include <algorithm>
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
EM_JS(void, clear_storage, (), { if (globalThis.trStorage) globalThis.trStorage.clear(); });
EM_JS(void, set_storage_full, (int full), { globalThis.trStorageFull = full !== 0; });
EM_JS(void, set_storage_refused, (int refused), { globalThis.trStorageRefused = refused !== 0; });
// clang-format on

class WebStoreTest : public StoreFixture {
  protected:
    void TearDown() override {
        set_storage_full(0);
        set_storage_refused(0);
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
        EXPECT_TRUE(getBytes(u"Kept").empty()) << text;
        const std::string said = takeStoreNotice();
        EXPECT_NE(said.find("kept aside as " + storageName() + ".broken-"), std::string::npos)
            << said;
        EXPECT_EQ(takeStoreNotice(), "");  // said once
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

TEST_F(WebStoreTest, APageWithoutStoragePlaysOnInMemoryAndSaysSoOnce) {
    putDword(u"Kept", 7);
    EXPECT_EQ(takeStoreNotice(), "");
    set_storage_refused(1);
    restart();
    EXPECT_FALSE(storeIsPersistent());
    EXPECT_NE(takeStoreNotice().find("nothing of this run will be kept"), std::string::npos);
    EXPECT_EQ(takeStoreNotice(), "");
    putDword(u"ThisRun", 1);
    EXPECT_EQ(getBytes(u"ThisRun"), (std::vector<uint8_t>{1, 0, 0, 0}));
    set_storage_refused(0);
    restart();
    EXPECT_TRUE(getBytes(u"ThisRun").empty());
    EXPECT_EQ(getBytes(u"Kept"), (std::vector<uint8_t>{7, 0, 0, 0})) << "the stored one untouched";
}

// A string longer than the handheld's largest property (another page's, a tampered
// store's) reads back cut, as from the desktop's file.
TEST_F(WebStoreTest, AStoredStringReadsBackNoLongerThanTheLargestProperty) {
    const DbHandle db = createAndOpen(u"HISCORE");
    for (const size_t length : {size_t{5}, size_t{32736}, size_t{32737}, size_t{100000}}) {
        std::u16string text(length, u'W');
        const CEPROPVAL p = prop(4, CEVT_LPWSTR, {.lpwstr = text.data()});
        const CEOID id = ceWriteRecordProps(db, 0, 1, &p);
        ASSERT_NE(id, 0u);
        int32_t index = -1;
        ceSeekDatabase(db, CEDB_SEEK_END, 0, &index);
        uint16_t count = 0;
        CEPROPVAL* props = nullptr;
        ASSERT_EQ(ceReadRecordProps(db, &count, &props), id);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(std::u16string(props[0].val.lpwstr).size(), std::min<size_t>(length, 32736));
        localFree(props);
    }
    ceCloseHandle(db);
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

// The desktop's tests get a fresh folder each; here the folder's name keys the stored
// store, and node's mkdtemp may hand out a name again once its folder is gone, so every
// test starts on an empty browser storage as well.
class FreshStorage : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { clear_storage(); }
};

}  // namespace

// Linked with tests/platform/store_test.cpp as it is: what every store must do.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStorage);
    return RUN_ALL_TESTS();
}
