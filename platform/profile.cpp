#include "platform/profile.h"

#include "platform/registry.h"

namespace platform {

namespace {

QString SectionPath(const QString& section)
{
    return QLatin1String(kApplicationKey) + QLatin1Char('\\') + section;
}

bool OpenSection(const QString& section, RegKey* key)
{
    return registry().Open(RegRoot::HKCU, SectionPath(section), key) == RegResult::Ok;
}

bool WriteValue(const QString& section, const QString& entry, const RegValue& value)
{
    RegKey key;
    return registry().Create(RegRoot::HKCU, SectionPath(section), &key) == RegResult::Ok
        && key.SetValue(entry, value) == RegResult::Ok;
}

} // namespace

int GetProfileInt(const QString& section, const QString& entry, int defaultValue)
{
    RegKey key;
    uint32_t value = 0;
    if (OpenSection(section, &key) && key.QueryDword(entry, &value) == RegResult::Ok)
        return static_cast<int>(value);
    return defaultValue;
}

bool WriteProfileInt(const QString& section, const QString& entry, int value)
{
    return WriteValue(section, entry, RegValue::DWord(static_cast<uint32_t>(value)));
}

QString GetProfileString(const QString& section, const QString& entry, const QString& defaultValue)
{
    RegKey key;
    QString value;
    if (OpenSection(section, &key) && key.QueryString(entry, &value) == RegResult::Ok)
        return value;
    return defaultValue;
}

bool WriteProfileString(const QString& section, const QString& entry, const QString& value)
{
    return WriteValue(section, entry, RegValue::String(value));
}

bool GetProfileBinary(const QString& section, const QString& entry, QByteArray* data)
{
    RegKey key;
    return OpenSection(section, &key) && key.QueryBinary(entry, data) == RegResult::Ok;
}

bool WriteProfileBinary(const QString& section, const QString& entry, const QByteArray& data)
{
    return WriteValue(section, entry, RegValue::Binary(data));
}

} // namespace platform
