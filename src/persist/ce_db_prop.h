// One typed property of a database record that owns a copy of any string it carries.
#pragma once

#include <cstdint>

#include "platform/store/store.h"

class CCeDbProp {
  public:
    // Strings this long or longer are a programming error: the program ends.
    static constexpr int kMaxString = 200;

    CCeDbProp();
    CCeDbProp(const CCeDbProp& other);
    CCeDbProp& operator=(const CCeDbProp& other);
    ~CCeDbProp();

    // Each setter first clears the value and frees any string held before.
    void SetBool(bool v);
    void SetInt(int32_t v);
    // Copies the text (null: an empty string) into a buffer of our own.
    void SetString(const char16_t* text);

    // Same type, flags and value; for strings that is the same buffer, not equal text.
    bool operator==(const CCeDbProp& other) const;

    uint16_t type() const { return platform::typeFromPropId(prop.propid); }

    platform::CEPROPVAL prop{};
    char16_t* ownedString = nullptr;

  private:
    void Clear();
};
