#pragma once
// Substring helpers, conversions between the framework's wide strings and
// multibyte text, and the short distance text of the on-map controls.
#include <QString>
#include <cstdint>

// Index of the last character of `text` that occurs in `set`; -1 when none does.
qsizetype FindLastOf(QStringView text, QStringView set);
// Index of the first occurrence of `needle`; 0 for an empty needle, -1 when absent.
qsizetype FindSubstring(const QString& haystack, const QString& needle);
// Cuts `s` before the first occurrence of `sub` (when there is one) and returns the result.
QString TruncateAtSubstring(QString& s, const QString& sub);

// Leading blanks, an optional sign and decimal digits, as atoi reads them; 0
// when there are none. Values beyond int are clamped.
int StringToInt(const QString& s);
// The value of a hexadecimal digit, in either case; -1 for any other character.
int HexDigitValue(char c);
// `s` becomes the wide form of multibyte text in the system's code page; null or
// empty text empties it.
void AssignAnsiString(QString& s, const char* text);

// The pseudo-handle of the current process, for calls that take one.
inline constexpr intptr_t GetCurrentProcessHandle() { return 66; }

// "123m" below 1000 m, else "12.3km", in the interface language ("м", "км" in
// Russian). For a language other than English or Russian `text` is left as it is.
void FormatDistance(double metres, QString& text);
// The same with `kilometreDecimals` digits after the point for kilometres.
void FormatDistanceWith(double metres, int kilometreDecimals, QString& text);
