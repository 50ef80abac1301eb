// The hand-over of a text box's line breaks.
#include "text/line_breaks.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(LineBreaksTest, EveryLineBreakBecomesCrLf) {
    struct Row {
        const char* name;
        const char16_t* box;
        const char16_t* handedOver;
    };
    const Row rows[] = {
        {"empty", u"", u""},
        {"CR LF", u"a\r\nb", u"a\r\nb"},
        {"LF", u"a\nb", u"a\r\nb"},
        {"CR", u"a\rb", u"a\r\nb"},
        {"CR last", u"a\r", u"a\r\n"},
        {"CR LF last", u"a\r\n", u"a\r\n"},
        {"Qt's separators", u"a\u2029b\u2028c", u"a\r\nb\r\nc"},
        {"LF then CR: two breaks", u"a\n\rb", u"a\r\n\r\nb"},
        {"CR then CR LF", u"a\r\r\nb", u"a\r\n\r\nb"},
        {"two separators", u"\u2029\u2029", u"\r\n\r\n"},
        {"no break", u"tab\there\u00A0nbsp", u"tab\there\u00A0nbsp"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WithCrLfBreaks(row.box), row.handedOver) << row.name;
    }
}

TEST(LineBreaksTest, LongestLine) {
    struct Row {
        const char* name;
        const char16_t* text;
        std::size_t longest;
    };
    const Row rows[] = {
        {"empty", u"", 0},
        {"one line", u"abc", 3},
        {"the first", u"ab\r\nc", 2},
        {"the last", u"a\r\n\r\nbcd", 3},
        {"between separators", u"ab\u2029cde\n", 3},
        {"breaks only", u"\r\r", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LongestLine(row.text), row.longest) << row.name;
    }
}

}  // namespace
}  // namespace dravik
