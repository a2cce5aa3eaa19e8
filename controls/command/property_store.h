// The container's stored description of a control: named values, each written against a default and left out
// when equal to it, each read with a default that stands in for a missing name. No <windows.h> here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/font.h"

namespace orbi {

// One stored value: an integer (booleans are -1 and 0, colours their 32 bits), a text or a font.
class PropertyValue {
  public:
    PropertyValue() : value_(std::wstring()) {}
    PropertyValue(int64_t v) : value_(v) {}
    PropertyValue(int v) : value_(static_cast<int64_t>(v)) {}
    PropertyValue(const wchar_t* v) : value_(std::wstring(v)) {}
    PropertyValue(std::wstring v) : value_(std::move(v)) {}
    PropertyValue(FontDesc v) : value_(std::move(v)) {}

    bool IsText() const { return std::holds_alternative<std::wstring>(value_); }
    bool IsFont() const { return std::holds_alternative<FontDesc>(value_); }

    // Conversions as the loader needs them; empty when the value does not convert (or does not fit).
    std::optional<double> AsNumber() const;    // integer, or a text that is a whole number text
    std::optional<int16_t> AsBoolean() const;  // nonzero numbers and "True" give -1, zero and "False" give 0
    std::optional<uint8_t> AsByte() const;     // 0..255, rounded halves to even
    std::optional<int16_t> AsInt16() const;
    std::optional<int32_t> AsInt32() const;      // also accepts 0x80000000..0xFFFFFFFF as their bit pattern
    std::optional<std::wstring> AsText() const;  // a font gives its face name
    std::optional<FontDesc> AsFont() const;

    // By value: numbers compare numerically, so the integer 1 equals the text "1".
    bool operator==(const PropertyValue& other) const;
    bool operator!=(const PropertyValue& other) const { return !(*this == other); }

  private:
    std::variant<int64_t, std::wstring, FontDesc> value_;
};

// The two operations are virtual only so that a check can record the order in which the control reads and
// writes its names (a promise of the control); the program uses this store as it is.
class PropertyStore {
  public:
    virtual ~PropertyStore() = default;
    // Stores the value, or removes the name when the value equals the default.
    virtual void Write(const std::wstring& name, const PropertyValue& value, const PropertyValue& defaultValue);
    // The stored value, or the default when the name is missing.
    virtual PropertyValue Read(const std::wstring& name, const PropertyValue& defaultValue) const;

    // What is stored. The control only reads and writes; these let a check see which names a save left out.
    bool Contains(const std::wstring& name) const;
    // Stored names in the order they were first written.
    std::vector<std::wstring> Names() const;

  private:
    std::vector<std::pair<std::wstring, PropertyValue>> entries_;
};

}  // namespace orbi
