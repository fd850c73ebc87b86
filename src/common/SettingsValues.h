#pragma once
// Access to the per-user settings store by (section, key). The store itself is
// the application's (QSettings); the core only sees this interface.
#include <cstdint>
#include <string>

class SettingsValues {
public:
    virtual ~SettingsValues() = default;
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const = 0;
    virtual std::int32_t ReadInt(const std::string& section, const std::string& key,
                                 std::int32_t defaultValue) const = 0;
    virtual void WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    virtual void WriteInt(const std::string& section, const std::string& key, std::int32_t value) = 0;
};
