#include "controls/command/property_store.h"

#include <algorithm>

#include "platform/numbers.h"

namespace orbi {

std::optional<double> PropertyValue::AsNumber() const {
    if (auto* i = std::get_if<int64_t>(&value_))
        return static_cast<double>(*i);
    if (auto* t = std::get_if<std::wstring>(&value_))
        return ParseNumber(*t);
    return std::nullopt;
}

std::optional<int16_t> PropertyValue::AsBoolean() const {
    if (auto* t = std::get_if<std::wstring>(&value_)) {
        const std::wstring upper = UpperAscii(*t);
        if (upper == L"TRUE")
            return int16_t{-1};
        if (upper == L"FALSE")
            return int16_t{0};
    }
    auto n = AsNumber();
    if (!n)
        return std::nullopt;
    return static_cast<int16_t>(*n != 0 ? -1 : 0);
}

std::optional<uint8_t> PropertyValue::AsByte() const {
    auto n = AsNumber();
    if (!n)
        return std::nullopt;
    const double r = RoundHalfEven(*n);
    if (r < 0 || r > 255)
        return std::nullopt;
    return static_cast<uint8_t>(r);
}

std::optional<int16_t> PropertyValue::AsInt16() const {
    auto n = AsNumber();
    return n ? ToInt16(*n) : std::nullopt;
}

std::optional<int32_t> PropertyValue::AsInt32() const {
    auto n = AsNumber();
    if (!n)
        return std::nullopt;
    // Colours above 0x7FFFFFFF (system colours) keep their bit pattern.
    const double r = RoundHalfEven(*n);
    if (r >= 2147483648.0 && r <= 4294967295.0)
        return static_cast<int32_t>(static_cast<uint32_t>(r));
    return ToInt32(*n);
}

std::optional<std::wstring> PropertyValue::AsText() const {
    if (auto* i = std::get_if<int64_t>(&value_))
        return std::to_wstring(*i);
    if (auto* t = std::get_if<std::wstring>(&value_))
        return *t;
    return std::get<FontDesc>(value_).face;
}

std::optional<FontDesc> PropertyValue::AsFont() const {
    if (auto* f = std::get_if<FontDesc>(&value_))
        return *f;
    return std::nullopt;
}

bool PropertyValue::operator==(const PropertyValue& other) const {
    if (IsFont() || other.IsFont())
        return IsFont() && other.IsFont() && std::get<FontDesc>(value_) == std::get<FontDesc>(other.value_);
    if (IsText() && other.IsText())
        return std::get<std::wstring>(value_) == std::get<std::wstring>(other.value_);
    // At least one number: a text that is no number differs from every number.
    auto a = AsNumber();
    auto b = other.AsNumber();
    return a && b && *a == *b;
}

void PropertyStore::Write(const std::wstring& name, const PropertyValue& value, const PropertyValue& defaultValue) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
    if (value == defaultValue) {
        if (it != entries_.end())
            entries_.erase(it);
        return;
    }
    if (it != entries_.end())
        it->second = value;
    else
        entries_.emplace_back(name, value);
}

PropertyValue PropertyStore::Read(const std::wstring& name, const PropertyValue& defaultValue) const {
    for (const auto& e : entries_) {
        if (e.first == name)
            return e.second;
    }
    return defaultValue;
}

bool PropertyStore::Contains(const std::wstring& name) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
}

std::vector<std::wstring> PropertyStore::Names() const {
    std::vector<std::wstring> names;
    for (const auto& e : entries_)
        names.push_back(e.first);
    return names;
}

}  // namespace orbi
