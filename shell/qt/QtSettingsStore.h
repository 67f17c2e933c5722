#pragma once

#include "SettingsStore.h"

#include <QSettings>

namespace kadivo {

// The per-user settings under the company key "Vellora": an INI file in the user's
// configuration folder (the test folder when QStandardPaths' test mode is on).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const override;
    void SetString(const std::string& section, const std::string& key, const std::string& value) override;
    // Writes pending values to the file.
    void Sync() { settings_.sync(); }
    QString FileName() const { return settings_.fileName(); }

private:
    mutable QSettings settings_;
};

}  // namespace kadivo
