#include "app/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace {

QString KeyPath(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

} // namespace

SettingsStore::SettingsStore(const std::string& companyName, const std::string& applicationName)
    : m_company(companyName),
      m_application(applicationName),
      m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromStdString(companyName),
                                             QString::fromStdString(applicationName)))
{
    // Names with spaces or punctuation ("Orvenne Software Inc.") are kept as
    // they are; the INI format escapes what it has to.
    m_settings->setFallbacksEnabled(false);
}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::ReadString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const
{
    const QVariant value = m_settings->value(KeyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString().toStdString();
}

std::int32_t SettingsStore::ReadInt(const std::string& section, const std::string& key,
                                    std::int32_t defaultValue) const
{
    const QVariant value = m_settings->value(KeyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    // Stored integers are read back as text by the INI format; a value that is
    // not a number (edited by hand) counts as absent.
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > UINT32_MAX)
        return defaultValue;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number & 0xFFFFFFFF));
}

void SettingsStore::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    m_settings->setValue(KeyPath(section, key), QString::fromStdString(value));
    m_settings->sync();
}

void SettingsStore::WriteInt(const std::string& section, const std::string& key, std::int32_t value)
{
    m_settings->setValue(KeyPath(section, key), static_cast<int>(value));
    m_settings->sync();
}

std::string SettingsStore::FileName() const
{
    return m_settings->fileName().toStdString();
}
