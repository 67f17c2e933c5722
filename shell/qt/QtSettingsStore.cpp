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

// A value written again unchanged is not written: QSettings would save the whole file for
// it, under a lock it flushes to the disk, on the thread that asked.
void QtSettingsStore::SetString(const std::string& section, const std::string& key, const std::string& value) {
    const QString name = Key(section, key), text = QString::fromStdString(value);
    const QVariant stored = settings_.value(name);
    if (stored.isValid() && stored.toString() == text) return;
    settings_.setValue(name, text);
}

}  // namespace kadivo
