// A fresh store in a temporary folder for every test, and helpers to look at it raw.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/store/store.h"

class StoreFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tallreed-persist-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        platform::setStoreDirectory(dir_);
        platform::failNextStoreWrites(0, 0);
        headless::reset();
    }
    void TearDown() override {
        platform::closeStore();
        platform::setStoreDirectory("");
        std::filesystem::remove_all(dir_);
    }
    // As if the program ended and started again.
    static void restart() { platform::closeStore(); }
    static std::vector<std::string> boxes() { return headless::messageBoxes(); }
    // The files the store moved aside as damaged.
    std::vector<std::filesystem::path> brokenFiles() const {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            if (e.path().filename().string().find("broken") != std::string::npos)
                out.push_back(e.path());
        return out;
    }
    // Raw registry access under the game's key.
    static platform::HKEY openKey() {
        platform::HKEY k = 0;
        EXPECT_EQ(
            platform::regCreateKey(platform::HKEY_CURRENT_USER, u"Quenmoor\\Tallreed", &k, nullptr),
            platform::ERROR_SUCCESS);
        return k;
    }
    // Answers the store's error.
    static uint32_t setValue(const char16_t* name, uint32_t type, const std::vector<uint8_t>& b) {
        const platform::HKEY k = openKey();
        const uint32_t e = platform::regSetValue(k, name, type, b.data(), uint32_t(b.size()));
        platform::regCloseKey(k);
        return e;
    }
    static void putBytes(const char16_t* name, uint32_t type, const std::vector<uint8_t>& b) {
        EXPECT_EQ(setValue(name, type, b), 0u);
    }
    static void putDword(const char16_t* name, uint32_t v) {
        putBytes(name, platform::REG_DWORD,
                 {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    // The stored bytes, or nothing when the value is missing.
    static std::vector<uint8_t> getBytes(const char16_t* name) {
        const platform::HKEY k = openKey();
        uint32_t size = 0;
        std::vector<uint8_t> out;
        if (platform::regQueryValue(k, name, nullptr, nullptr, &size) == 0) {
            out.resize(size);
            platform::regQueryValue(k, name, nullptr, out.data(), &size);
        }
        platform::regCloseKey(k);
        return out;
    }
    static std::vector<uint8_t> wide(const std::u16string& s, bool terminate = true) {
        std::vector<uint8_t> b;
        for (char16_t c : s) b.insert(b.end(), {uint8_t(c), uint8_t(c >> 8)});
        if (terminate) b.insert(b.end(), {0, 0});
        return b;
    }
    static platform::CEPROPVAL prop(uint16_t index, uint16_t type, platform::CEVALUNION v = {}) {
        return platform::CEPROPVAL{platform::makePropId(index, type), 0, 0, v};
    }
    // The disposition of creating `path`, or ~0u when that failed.
    static uint32_t createKey(const char16_t* path) {
        platform::HKEY k = 0;
        uint32_t disposition = 0;
        if (platform::regCreateKey(platform::HKEY_CURRENT_USER, path, &k, &disposition) !=
            platform::ERROR_SUCCESS)
            return ~0u;
        platform::regCloseKey(k);
        return disposition;
    }
    static platform::DbHandle createAndOpen(const char16_t* name) {
        EXPECT_NE(platform::ceCreateDatabase(name, 1), 0u);
        return platform::ceOpenDatabase(name);
    }
    // One test value "V" under the game's key: put (answers the store's error) and seen.
    static uint32_t putTestValue(uint8_t v) {
        return setValue(u"V", platform::REG_DWORD, {v, 0, 0, 0});
    }
    static bool hasTestValue() { return !getBytes(u"V").empty(); }
    // The number of records in the database `name`.
    static int32_t storedRecords(const char16_t* name) {
        const platform::DbHandle db = platform::ceOpenDatabase(name);
        int32_t last = -1;
        platform::ceSeekDatabase(db, platform::CEDB_SEEK_END, 0, &last);
        platform::ceCloseHandle(db);
        return last + 1;
    }

    std::string dir_;
};
