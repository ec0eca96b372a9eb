#include "platform/qt_settings_store.h"

namespace wexon::platform {

namespace {
const char* kGroup = "Settings";
}

QtSettingsStore::QtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             "TARNO_Software", "TARNO_Software")) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

std::string QtSettingsStore::read(const std::string& key, const std::string& defaultValue) const {
    QVariant v = m_settings->value(QString(kGroup) + "/" + QString::fromLatin1(key),
                                   QString::fromLatin1(defaultValue));
    return v.toString().toLatin1().toStdString();
}

void QtSettingsStore::write(const std::string& key, const std::string& value) {
    m_settings->setValue(QString(kGroup) + "/" + QString::fromLatin1(key),
                         QString::fromLatin1(value));
    m_settings->sync();
}

} // namespace wexon::platform
