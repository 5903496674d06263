#include <gtest/gtest.h>

#include "kernel/doc/transliteration.h"
#include "tests/kernel/doc/cp1251.h"

TEST(Transliteration, Examples)
{
    struct Case {
        const char* cyrillic;
        const char* latin;
    };
    const Case cases[] = {
        { "Жуковский", "Zhukovsky" },
        { "Красный", "Krasny" },
        { "МКАД", "MKAD" },
        { "ЖБИ", "ZHBI" },
        { "Щукино", "Shchukino" },
        { "подъезд", "podezd" },
        { "Ёлкино", "Yolkino" },
        { "ель", "el'" },
        { "ий", "iy" },
        { "Красный пр.", "Krasny pr." },
        { "ул. Красный (Новый)", "ul. Krasny (Novy)" },
        { "Новый 2", "Novy 2" },
        { "Бийск", "Biysk" },
        { "СТАРЫЙ ДОМ", "STARY DOM" },
        { "Big Ben", "Big Ben" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CZXS_Transliteration::Transliterate(Cp1251(c.cyrillic)), c.latin) << c.latin;

    std::string text = "Abc xyz-Q";
    CZXS_Transliteration::UpperCase(text);
    EXPECT_EQ(text, "ABC XYZ-Q");
    EXPECT_EQ(CZXS_Transliteration::Transliterate(std::string("ab\0cd", 5)), "ab");
}
