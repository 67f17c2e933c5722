#pragma once

#include "SettingsStore.h"

#include <map>
#include <string>

namespace kadivo::test {

// Settings kept in memory, as "Section/key" → value.
class MemorySettings : public SettingsStore {
public:
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const override {
        auto it = values.find(section + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    void SetString(const std::string& section, const std::string& key, const std::string& value) override {
        values[section + "/" + key] = value;
    }
    std::map<std::string, std::string> values;
};

}  // namespace kadivo::test
