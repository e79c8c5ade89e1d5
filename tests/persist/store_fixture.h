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

    // Raw registry access under the game's key.
    static platform::HKEY openKey() {
        platform::HKEY k = 0;
        EXPECT_EQ(
            platform::regCreateKey(platform::HKEY_CURRENT_USER, u"Quenmoor\\Tallreed", &k, nullptr),
            platform::ERROR_SUCCESS);
        return k;
    }
    static void putDword(const char16_t* name, uint32_t v) {
        const platform::HKEY k = openKey();
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        EXPECT_EQ(platform::regSetValue(k, name, platform::REG_DWORD, b, 4), 0u);
        platform::regCloseKey(k);
    }
    static void putBytes(const char16_t* name, uint32_t type, const std::vector<uint8_t>& b) {
        const platform::HKEY k = openKey();
        EXPECT_EQ(platform::regSetValue(k, name, type, b.data(), uint32_t(b.size())), 0u);
        platform::regCloseKey(k);
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
        for (char16_t c : s) {
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
        }
        if (terminate) b.insert(b.end(), {0, 0});
        return b;
    }

    std::string dir_;
};
