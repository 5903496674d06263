#pragma once
// The interface language. Bilingual texts everywhere choose by it; the settings
// set it, this low so that every layer can read it.
#include <atomic>

enum : int {
    LANGUAGE_ENGLISH = 0,
    LANGUAGE_RUSSIAN = 1,
};

// 0 English, 1 Russian (the default until the settings are read). Other values
// make the bilingual texts produce nothing.
inline std::atomic<int> g_language { LANGUAGE_RUSSIAN };
