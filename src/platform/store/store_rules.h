// The rules every store backend shares: key paths, database names, property types and
// the UTF-8 the stored names are kept in. No storage behind them, so the browser's store
// uses them as the SQLite store does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/store/store.h"

namespace platform::store_rules {

inline std::string toUtf8(const char16_t* s) {
    std::string out;
    if (s == nullptr) return out;
    for (size_t i = 0; s[i]; ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Backslash-separated parts without empty ones: "a\\b\" and "a\b" are the same key.
inline std::string normalisePath(const std::string& path) {
    std::string out, part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (!part.empty()) {
                if (!out.empty()) out += '\\';
                out += part;
            }
            part.clear();
        } else {
            part += path[i];
        }
    }
    return out;
}

inline bool validName(const char16_t* name) {
    if (!name || !name[0]) return false;
    size_t n = 0;
    while (name[n]) {
        if (++n > 31) return false;  // the handheld's name limit
    }
    return true;
}

inline bool knownType(uint16_t type) {
    switch (type) {
        case CEVT_I2:
        case CEVT_UI2:
        case CEVT_I4:
        case CEVT_UI4:
        case CEVT_R8:
        case CEVT_BOOL:
        case CEVT_LPWSTR:
            return true;
        default:
            return false;
    }
}

}  // namespace platform::store_rules
