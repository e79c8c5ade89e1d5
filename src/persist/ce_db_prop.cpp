#include "persist/ce_db_prop.h"

#include <cstring>

#include "platform/platform.h"

namespace {

char16_t* duplicate(const char16_t* text, size_t length) {
    auto* copy = new char16_t[length + 1];
    if (length) std::memcpy(copy, text, length * sizeof(char16_t));
    copy[length] = 0;
    return copy;
}

size_t lengthOf(const char16_t* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

}  // namespace

CCeDbProp::CCeDbProp() = default;

CCeDbProp::CCeDbProp(const CCeDbProp& other) {
    *this = other;
}

CCeDbProp& CCeDbProp::operator=(const CCeDbProp& other) {
    if (this == &other) return *this;
    delete[] ownedString;
    ownedString = nullptr;
    prop = other.prop;
    if (other.ownedString) {
        ownedString = duplicate(other.ownedString, lengthOf(other.ownedString));
        prop.val.lpwstr = ownedString;
    }
    return *this;
}

CCeDbProp::~CCeDbProp() {
    delete[] ownedString;
}

void CCeDbProp::Clear() {
    delete[] ownedString;
    ownedString = nullptr;
    prop = platform::CEPROPVAL{};
}

void CCeDbProp::SetBool(bool v) {
    Clear();
    prop.propid = platform::CEVT_BOOL;
    prop.val.boolVal = v ? 1 : 0;
}

void CCeDbProp::SetInt(int32_t v) {
    Clear();
    prop.propid = platform::CEVT_I4;
    prop.val.lVal = v;
}

void CCeDbProp::SetString(const char16_t* text) {
    Clear();
    prop.propid = platform::CEVT_LPWSTR;
    size_t length = 0;
    if (text) {
        // Stop counting at the limit: what the game hands us need not end soon.
        while (text[length] && length < static_cast<size_t>(kMaxString)) ++length;
    }
    if (length >= static_cast<size_t>(kMaxString)) {
        platform::messageBox("Very long string??", "", platform::BoxIcon::Stop);
        platform::fatalExit(-1);
    }
    ownedString = duplicate(text ? text : u"", length);
    prop.val.lpwstr = ownedString;
}

bool CCeDbProp::operator==(const CCeDbProp& other) const {
    if (type() != other.type() || prop.wFlags != other.prop.wFlags) return false;
    switch (type()) {
        case platform::CEVT_I2:
        case platform::CEVT_UI2:
            return prop.val.uiVal == other.prop.val.uiVal;
        case platform::CEVT_I4:
        case platform::CEVT_BOOL:
        case platform::CEVT_UI4:
            return prop.val.ulVal == other.prop.val.ulVal;
        case platform::CEVT_LPWSTR:
            return prop.val.lpwstr == other.prop.val.lpwstr;
        case platform::CEVT_R8:
            return prop.val.dblVal == other.prop.val.dblVal;
        default:
            platform::messageBox("Unknown type", "CCeDbProp::operator= Fatal Error",
                                 platform::BoxIcon::Stop);
            platform::fatalExit(-1);
    }
}
