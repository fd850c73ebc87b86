#pragma once
// The per-user settings store: an INI file in the user's configuration
// directory, named after the company and the application title. Values are
// grouped in sections ("Settings", "Compare Files", placement sections) and
// are strings or 32-bit integers; an absent value reads as the caller's default.
#include <memory>
#include <string>

#include "common/SettingsValues.h"

class QSettings;

class SettingsStore : public SettingsValues {
public:
    static constexpr const char* kSettingsSection = "Settings";

    SettingsStore(const std::string& companyName, const std::string& applicationName);
    ~SettingsStore() override;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    std::int32_t ReadInt(const std::string& section, const std::string& key,
                         std::int32_t defaultValue) const override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    void WriteInt(const std::string& section, const std::string& key, std::int32_t value) override;

    const std::string& CompanyName() const { return m_company; }
    const std::string& ApplicationName() const { return m_application; }
    // The file that holds the values.
    std::string FileName() const;

private:
    std::string m_company;
    std::string m_application;
    std::unique_ptr<QSettings> m_settings;
};
