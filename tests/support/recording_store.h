// A property store that also notes every name read or written, in call order.
#pragma once

#include <string>
#include <vector>

#include "controls/command/property_store.h"

namespace orbi::test {

class RecordingStore : public PropertyStore {
  public:
    mutable std::vector<std::wstring> names;
    void Write(const std::wstring& name, const PropertyValue& value, const PropertyValue& defaultValue) override {
        names.push_back(name);
        PropertyStore::Write(name, value, defaultValue);
    }
    PropertyValue Read(const std::wstring& name, const PropertyValue& defaultValue) const override {
        names.push_back(name);
        return PropertyStore::Read(name, defaultValue);
    }
};

}  // namespace orbi::test
