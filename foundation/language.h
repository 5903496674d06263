#pragma once
// The interface language. Bilingual texts everywhere choose by it; the settings
// set it, this low so that every layer can read it.
#include <QString>
#include <atomic>

enum : int {
    LANGUAGE_ENGLISH = 0,
    LANGUAGE_RUSSIAN = 1,
};

// 0 English, 1 Russian (the default until the settings are read). Other values
// make the bilingual texts produce nothing.
inline std::atomic<int> g_language { LANGUAGE_RUSSIAN };

// The text of the interface language: `english` or `russian`, and `other`
// (nothing unless given) for any other language value.
inline QString Bilingual(const QString& english, const QString& russian, const QString& other = QString())
{
    switch (g_language.load()) {
    case LANGUAGE_ENGLISH:
        return english;
    case LANGUAGE_RUSSIAN:
        return russian;
    default:
        return other;
    }
}
inline QString Bilingual(const char16_t* english, const char16_t* russian)
{
    return Bilingual(QString::fromUtf16(english), QString::fromUtf16(russian));
}
