#include "QtSettingsStore.h"

#include <QStandardPaths>

namespace kadivo {

namespace {

QString SettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Vellora/Kadivo.conf";
}

QString Key(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(SettingsPath(), QSettings::IniFormat) {}

std::string QtSettingsStore::GetString(const std::string& section, const std::string& key, const std::string& fallback) const {
    const QVariant value = settings_.value(Key(section, key));
    return value.isValid() ? value.toString().toStdString() : fallback;
}

void QtSettingsStore::SetString(const std::string& section, const std::string& key, const std::string& value) {
    settings_.setValue(Key(section, key), QString::fromStdString(value));
}

}  // namespace kadivo
