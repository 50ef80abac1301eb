#include "conversion/route_listing.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testkit;

const Text kLine = u"EAXA             0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD";

TEST(RouteListingTest, CountsWhatTheListingHolds) {
    const Text a = PointLine(u"AAAA");
    const Text b = PointLine(u"BBBB");
    struct Row {
        const char* name;
        Text listing;
        std::size_t count;
    };
    const Row rows[] = {
        {"empty", u"", 0},
        {"the header", u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks", 0},
        {"one point", a, 1},
        {"the same point twice, kept twice", a + u"\r\n" + a, 2},
        {"among other lines", u"remark\r\n\r\n" + a + u"\r\nTOTAL 40\r\n" + b + u"\r\n", 2},
        {"LF alone does not cut: one piece", a + u"\n" + b, 1},
        {"CR alone does not cut", a + u"\r" + b, 1},
        {"one piece that starts with no point", u"x\n" + a + u"\n" + b, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SelectPoints(row.listing).size(), row.count) << row.name;
    }
}

TEST(RouteListingTest, RejectsEachBrokenColumn) {
    ASSERT_TRUE(IsPointLine(kLine));
    // Each row breaks one column the layout fixes (1-based) with a character that does not belong there.
    const std::pair<std::size_t, char16_t> breaks[] = {
        {15, u'x'},  {18, u'K'}, {25, u'T'}, {30, u'O'}, {31, u' '}, {32, u'o'},      {33, u'a'},
        {34, u'.'},  {35, u'`'}, {36, u'x'}, {37, u'x'}, {38, u','}, {39, u'x'},      {40, u'x'},
        {42, u'\t'}, {44, u'x'}, {45, u'x'}, {46, u'x'}, {47, u'*'}, {48, u'x'},      {49, u'x'},
        {50, u'"'},  {51, u'x'}, {52, u'x'}, {53, u':'}, {54, u'x'}, {55, u'\u0665'}, {57, u'_'},
    };
    for (const auto& [column, replacement] : breaks) {
        Text line = kLine;
        line[column - 1] = replacement;
        EXPECT_FALSE(IsPointLine(line)) << "column " << column;
    }
    EXPECT_FALSE(IsPointLine(kLine.substr(0, 56)));
    EXPECT_FALSE(IsPointLine(u" " + kLine));     // shifted right
    EXPECT_FALSE(IsPointLine(kLine.substr(1)));  // shifted left
}

TEST(RouteListingTest, AcceptsAnythingInFreeColumns) {
    const std::size_t freeColumns[] = {1, 2, 5, 9, 14, 16, 17, 19, 24, 26, 28, 29, 41, 43, 56, 58};
    for (const char16_t filler : {u'\t', u'\u00B0', u'x', u'\0', u'\xD800', u'\u2029', u'\uFFFF'}) {
        for (const std::size_t column : freeColumns) {
            Text line = kLine;
            line[column - 1] = filler;
            EXPECT_TRUE(IsPointLine(line)) << "column " << column << " filler " << int(filler);
        }
    }
}

TEST(RouteListingTest, CountsUtf16UnitsAsColumns) {
    // A character beyond U+FFFF takes two columns: in place of two ID columns the line still fits ...
    EXPECT_TRUE(IsPointLine(u"\U0001D11E" + kLine.substr(2)));
    // ... in place of one it shifts every later column by one.
    EXPECT_FALSE(IsPointLine(u"\U0001D11E" + kLine.substr(1)));
}

TEST(RouteListingTest, Fields) {
    EXPECT_EQ(PointName(kLine), u"NORTH FIELD");
    EXPECT_EQ(PointCoords(kLine), u"N55\u00B005'03.00\" E012\u00B039'22.00");

    const Text longId = PointLine(u"GAMMA12");
    EXPECT_EQ(PointId(longId), u"GAMMA");
    EXPECT_EQ(PointLongId(longId), u"GAMMA1");
    EXPECT_EQ(PointId(PointLine(u"  ")), u"");

    const Text bare = kLine.substr(0, 57);
    ASSERT_TRUE(IsPointLine(bare));
    EXPECT_EQ(PointName(bare), u"");
    EXPECT_EQ(PointName(kLine.substr(0, 57) + u"   spaced name  "), u"spaced name");
}

TEST(RouteListingTest, RecaseName) {
    struct Row {
        const char* what;
        const char16_t* name;
        const char16_t* id;
        const char16_t* recased;
    };
    // Beyond ASCII, the system's full mapping, whatever the user's locale.
    const Row rows[] = {
        {"not the identifier", u"NORTH FIELD", u"EAXA", u"North Field"},
        {"the identifier", u"XYZ", u"XYZ", u"XYZ"},
        {"equality is case-sensitive", u"xyz", u"XYZ", u"Xyz"},
        {"empty", u"", u"EAXA", u""},
        {"empty, and so is the identifier", u"", u"", u""},
        {"Latin", u"\u00C9COLE \u00C9T\u00C9", u"X", u"\u00C9cole \u00C9t\u00E9"},
        {"Greek", u"\u0394\u0395\u039B\u03A4\u0391", u"X", u"\u0394\u03B5\u03BB\u03C4\u03B1"},
        {"Deseret, beyond U+FFFF", u"\U00010400\U00010400", u"X", u"\U00010400\U00010428"},
        {"Kelvin sign: lowers to k, rises to K", u"\u212A", u"X", u"K"},
        {"U+FFFF, the last unit that stands alone", u"\uFFFF", u"X", u"\uFFFF"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RecaseName(row.name, row.id), row.recased) << row.what;
    }
}

}  // namespace
}  // namespace dravik
