#include "text/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace dravik {
namespace {

struct PatternCase {
    const char16_t* text;
    const char16_t* pattern;
    bool matches;
};

TEST(MatchesPatternTest, Table) {
    const PatternCase cases[] = {
        {u"", u"*", true},
        {u"", u"?", false},
        {u"", u"", true},
        {u"a", u"", false},
        {u"a", u"?", true},
        {u"\u00B0", u"?", true},
        {u"7", u"#", true},
        {u"a", u"#", false},
        {u".", u"#", false},
        {u"\u0663", u"#", false},  // ARABIC-INDIC DIGIT THREE
        {u"\uFF13", u"#", false},  // FULLWIDTH DIGIT THREE
        {u"A", u"a", false},       // case-sensitive
        {u"ab\r\ncd", u"a*d", true},
        {u"abc", u"a*", true},
        {u"abc", u"*c", true},
        {u"abc", u"*b", false},
        {u"abcbd", u"*b?", true},
        {u"aXbXc", u"a*b*c", true},
        {u"aXbXd", u"a*b*c", false},
        {u"N55\u00B005'", u"?##\u00B0##'", true},
        {u"N55 05'", u"?##\u00B0##'", false},
        {u"aaaa", u"***a", true},
        {u"*", u"**?", true},  // a star in the text is no star
        {u"mississippi", u"m*iss*ppi", true},
        {u"mississippi", u"m*iss*ppx", false},
        {u"aba", u"ab*ba", false},  // the star may take nothing, but the two cannot share the "b"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPattern(c.text, c.pattern), c.matches)
            << "text '" << std::u16string(c.text).size() << " units', pattern index " << (&c - cases);
    }
}

TEST(MatchesPatternTest, ManyStarsStayFast) {
    // Exponential backtracking would take ages here; the greedy scan takes microseconds.
    const Text text(20000, u'a');
    EXPECT_FALSE(MatchesPattern(text, u"*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchesPattern(text + u"b", u"*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(SplitLinesTest, CutsOnlyAtCrLf) {
    struct Case {
        const char16_t* text;
        std::vector<Text> pieces;
    };
    const Case cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\n", {u"a", u""}},
        {u"a\nb", {u"a\nb"}},
        {u"a\rb", {u"a\rb"}},
        {u"a\r\n\r\nb", {u"a", u"", u"b"}},
        {u"\r\n", {u"", u""}},
        {u"a\r\r\nb", {u"a\r", u"b"}},
        {u"a\n\r\nb\r", {u"a\n", u"b\r"}},
    };
    for (const auto& c : cases) {
        const auto views = SplitLines(c.text);
        const std::vector<Text> pieces(views.begin(), views.end());
        EXPECT_EQ(pieces, c.pieces) << "case " << (&c - cases);
    }
}

TEST(SlicesTest, LeftMidRightTrim) {
    EXPECT_EQ(LeftText(u"abc", 5), u"abc");
    EXPECT_EQ(LeftText(u"abcdef", 5), u"abcde");
    EXPECT_EQ(LeftText(u"abc", 0), u"");
    EXPECT_EQ(RightText(u"abc", 0), u"");
    EXPECT_EQ(RightText(u"abc", 2), u"bc");
    EXPECT_EQ(RightText(u"abc", 9), u"abc");
    EXPECT_EQ(MidText(u"abcd", 2, 2), u"bc");
    EXPECT_EQ(MidText(u"abcd", 3, 9), u"cd");
    EXPECT_EQ(MidText(u"abcd", 5, 1), u"");
    EXPECT_EQ(MidText(u"abcd", 1, 0), u"");
    EXPECT_EQ(MidText(u"abcd", 1, 1), u"a");
    EXPECT_EQ(MidText(u"abcd", 4, 1), u"d");
    EXPECT_EQ(MidText(u"abcd", 0, 1), u"");
    EXPECT_EQ(MidText(u"abcd", 6, 1), u"");
    EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
    EXPECT_EQ(TrimSpaces(u"\ta "), u"\ta");
    EXPECT_EQ(TrimSpaces(u" a\t"), u"a\t");
    EXPECT_EQ(TrimSpaces(u"\u00A0a"), u"\u00A0a");  // a no-break space is not a space
    EXPECT_EQ(TrimSpaces(u"   "), u"");
}

TEST(SlicesTest, CountUtf16Units) {
    const Text withClef = u"a\U0001D11Eb";  // MUSICAL SYMBOL G CLEF is two units
    EXPECT_EQ(LeftText(withClef, 2), u"a\xD834");
    EXPECT_EQ(MidText(withClef, 2, 2), u"\U0001D11E");
}

TEST(NumbersTest, ParseNumber) {
    EXPECT_EQ(ParseNumber(u"00.30"), 0.3);
    EXPECT_TRUE(std::isnan(ParseNumber(u"")));
    EXPECT_TRUE(std::isnan(ParseNumber(u".")));
    EXPECT_TRUE(std::isnan(ParseNumber(u"1.2.3")));
    EXPECT_TRUE(std::isnan(ParseNumber(u"1,5")));
    EXPECT_TRUE(std::isnan(ParseNumber(u"1e5")));
    EXPECT_TRUE(std::isnan(ParseNumber(u"\u0661")));
}

// Beyond ASCII the system's tables decide (the RecaseName table in conversion/ has those rows); here a
// mapping that only marks what reached it.
char32_t MarkedMapping(char32_t codePoint, LetterCase to) {
    return to == LetterCase::Lower ? codePoint + 1 : codePoint + 0x10;
}

TEST(ProperCaseTest, Table) {
    struct Row {
        const char* name;
        Text text;
        Text proper;
    };
    const Row rows[] = {
        {"empty", u"", u""},
        {"one word", u"XYZ", u"Xyz"},
        {"z", u"zulu", u"Zulu"},
        {"NUL starts a word too", Text(u"a\0b", 3), Text(u"A\0B", 3)},
        {"space", u"NORTH FIELD", u"North Field"},
        {"no word starts after - . / ( ' or a digit", u"SOUTH-EAST ST.MARY A/B (C) D'E 1ST",
         u"South-east St.mary A/b (c) D'e 1st"},
        {"control characters",
         u"a\tb\nc\x0B"
         u"d\x0C"
         u"e\rf",
         u"A\tB\nC\x0B"
         u"D\x0C"
         u"E\rF"},
        {"a no-break space starts none (and is lowered)", u"a\u00A0b", u"A\u00A1b"},
        {"two spaces", u"  two  spaces", u"  Two  Spaces"},
        {"lowered first, then raised", u"\u00C0\u00C0 \u00C0", u"\u00D1\u00C1 \u00D1"},
        {"beyond U+FFFF, one character", u"\U00010400\U00010400", u"\U00010411\U00010401"},
        {"a lone surrogate stays",
         u"\xD800"
         u"AB",
         u"\xD800"
         u"ab"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ProperCase(row.text, &MarkedMapping), row.proper) << row.name;
    }
}

}  // namespace
}  // namespace dravik
