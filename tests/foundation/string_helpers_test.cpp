#include "foundation/language.h"
#include "foundation/string_helpers.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

class LanguageScope {
public:
    explicit LanguageScope(int language)
        : m_saved(g_language)
    {
        g_language = language;
    }
    ~LanguageScope() { g_language = m_saved; }

private:
    int m_saved;
};

} // namespace

TEST(StringHelpers, Substrings)
{
    EXPECT_EQ(FindLastOf(u"a\\b/c.d", u"\\/"), 3);
    EXPECT_EQ(FindLastOf(u"abc", u"xyz"), -1);
    EXPECT_EQ(FindLastOf(u"", u"a"), -1);

    EXPECT_EQ(FindSubstring("route.rt", "ute"), 2);
    EXPECT_EQ(FindSubstring("route.rt", ""), 0) << "an empty needle is found at the start";
    EXPECT_EQ(FindSubstring("route.rt", "RT"), -1) << "compared exactly";
    EXPECT_EQ(FindSubstring("rt", "route.rt"), -1);

    QString s = "Voradu - city map - v2";
    EXPECT_EQ(TruncateAtSubstring(s, " - "), "Voradu");
    EXPECT_EQ(s, "Voradu");
    EXPECT_EQ(TruncateAtSubstring(s, "xyz"), "Voradu");
    EXPECT_EQ(s, "Voradu");
}

TEST(StringHelpers, StringToIntReadsLikeAtoi)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        { "42", 42 },
        { "  -17km", -17 },
        { "+5", 5 },
        { "\t 007", 7 },
        { "abc", 0 },
        { "", 0 },
        { "- 3", 0 },
        { "2147483647", INT_MAX },
        { "99999999999999999999", INT_MAX },
        { "-2147483648", INT_MIN },
        { "-99999999999999999999", INT_MIN },
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringToInt(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(StringHelpers, AssignAnsiString)
{
    QString s = "old";
    AssignAnsiString(s, nullptr);
    EXPECT_TRUE(s.isEmpty());
    s = "old";
    AssignAnsiString(s, "");
    EXPECT_TRUE(s.isEmpty());
    AssignAnsiString(s, "Москва 1");
    EXPECT_EQ(s, QString::fromUtf8("Москва 1"));
}

TEST(StringHelpers, DistanceTextInBothLanguages)
{
    struct Case {
        double metres;
        const char* english;
        const char* russian;
    } cases[] = {
        { 0.0, "0m", "0м" },
        { 999.9, "999m", "999м" },
        { -5.7, "-5m", "-5м" },
        { 1000.0, "1.0km", "1.0км" },
        { 1049.0, "1.0km", "1.0км" },
        { 12345.0, "12.3km", "12.3км" },
        { 250000.0, "250.0km", "250.0км" },
    };
    for (const Case& c : cases) {
        QString text;
        {
            LanguageScope english(LANGUAGE_ENGLISH);
            FormatDistance(c.metres, text);
            EXPECT_EQ(text.toUtf8(), QByteArray(c.english)) << c.metres;
        }
        {
            LanguageScope russian(LANGUAGE_RUSSIAN);
            FormatDistance(c.metres, text);
            EXPECT_EQ(text.toUtf8(), QByteArray(c.russian)) << c.metres;
        }
        {
            LanguageScope other(2);
            text = "kept";
            FormatDistance(c.metres, text);
            EXPECT_EQ(text, "kept") << "no text in another language";
        }
    }
    // The Cyrillic units as UTF-16 code units, so the source encoding cannot fool the test.
    LanguageScope russian(LANGUAGE_RUSSIAN);
    QString text;
    FormatDistance(5.0, text);
    EXPECT_EQ(text, QStringView(u"5\u043c").toString());
    FormatDistance(5000.0, text);
    EXPECT_EQ(text, QStringView(u"5.0\u043a\u043c").toString());
}

TEST(StringHelpers, DistanceTextOfAbsurdValuesDoesNotOverflow)
{
    LanguageScope english(LANGUAGE_ENGLISH);
    QString text;
    FormatDistance(-1e300, text);
    EXPECT_EQ(text, QString::number(INT_MIN) + "m");
    FormatDistance(1e300, text);
    EXPECT_TRUE(text.endsWith("km"));
}

TEST(StringHelpers, HexDigitValues)
{
    const std::pair<char, int> cases[] = { { '0', 0 }, { '9', 9 }, { 'a', 10 }, { 'F', 15 }, { 'f', 15 },
        { 'g', -1 }, { 'G', -1 }, { '/', -1 }, { ':', -1 }, { '@', -1 }, { '`', -1 }, { '\0', -1 } };
    for (const auto& [c, value] : cases)
        EXPECT_EQ(HexDigitValue(c), value) << c;
}
