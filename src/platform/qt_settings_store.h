#pragma once

#include <memory>

#include <QSettings>

#include "core/settings_store.h"

namespace wexon::platform {

// The system settings store: an INI file of organisation "TARNO_Software", keys
// in the group "Settings".
class QtSettingsStore : public core::SettingsStore {
  public:
    QtSettingsStore();
    // A store kept in the given INI file (tests, portable installs).
    explicit QtSettingsStore(const QString& iniPath);

    std::string read(const std::string& key, const std::string& defaultValue) const override;
    void write(const std::string& key, const std::string& value) override;

  private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace wexon::platform
