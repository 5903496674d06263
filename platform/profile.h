#pragma once
// The application profile: integers, strings and binary blocks by section and
// entry, kept in the registry under HKEY_CURRENT_USER
// "\Software\Orvantis\Travenor Pro\<section>" (the program's section is
// "Settings"). Reading never creates a key; writing creates what it needs.
#include <QByteArray>
#include <QString>

namespace platform {

// The application key in HKEY_CURRENT_USER.
inline constexpr char kApplicationKey[] = "Software\\Orvantis\\Travenor Pro";

// The stored integer, or `defaultValue` when the entry is missing or is not
// an integer.
int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
bool WriteProfileInt(const QString& section, const QString& entry, int value);

// The stored string, or `defaultValue` when missing or not a string.
QString GetProfileString(
    const QString& section, const QString& entry, const QString& defaultValue = QString());
bool WriteProfileString(const QString& section, const QString& entry, const QString& value);

// False (and `data` untouched) when missing or not binary.
bool GetProfileBinary(const QString& section, const QString& entry, QByteArray* data);
bool WriteProfileBinary(const QString& section, const QString& entry, const QByteArray& data);

} // namespace platform
