#pragma once

#include <map>
#include <string>

namespace wexon::core {

// The system settings store: keys under one application and section, read with a
// default and written one at a time.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& key, const std::string& defaultValue) const = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
};

// A store held in memory only (used where nothing should reach the disk).
class MemorySettingsStore : public SettingsStore {
  public:
    std::string read(const std::string& key, const std::string& defaultValue) const override {
        auto it = m_values.find(key);
        return it == m_values.end() ? defaultValue : it->second;
    }
    void write(const std::string& key, const std::string& value) override { m_values[key] = value; }

  private:
    std::map<std::string, std::string> m_values;
};

} // namespace wexon::core
