#pragma once

#include <string>

namespace kadivo {

// The per-user settings store: string values under a section and a key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const = 0;
    virtual void SetString(const std::string& section, const std::string& key, const std::string& value) = 0;
};

}  // namespace kadivo
