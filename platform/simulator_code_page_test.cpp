// Windows-1252 as Windows writes it: the table, and the plan's encoding on this system, which on
// Windows is the system's own conversion (here in code page 1252).
#include "platform/simulator_code_page.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/platform.h"

namespace dravik {
namespace {

TEST(SimulatorCodePageTest, Table) {
    struct Row {
        const char* name;
        Text text;
        std::string bytes;
    };
    const Row rows[] = {
        {"ASCII", u"plain ASCII", "plain ASCII"},
        {"Latin-1 and the degree sign", u"\u00E9\u00C5\u00DF\u00B0\u00A0\u00FF", "\xE9\xC5\xDF\xB0\xA0\xFF"},
        {"the code page's own block",
         u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
         u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178",
         "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
         "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F"},
        {"outside the code page", u"\u0080\u0082\u009F\u0100\u03A9\u4E2D\uFFFD", "???????"},
        {"beyond U+FFFF: one ?, not the character of its low 16 bits", u"a\U0001D11Eb\U00010041", "a?b?"},
        {"the last character, U+10FFFF: one ?", u"a\U0010FFFFb", "a?b"},
        {"lone surrogates, one at the end",
         u"a\xD800"
         u"b\xDC00"
         u"c\xD800",
         "a?b?c?"},
        {"NUL", Text(u"a\0b", 3), std::string("a\0b", 3)},
        {"empty", u"", ""},
    };
    for (const Row& row : rows) {
        const auto& [name, text, bytes] = row;
        EXPECT_EQ(EncodeWindows1252(text), bytes) << name;
#ifdef _WIN32
        if (GetACP() != 1252) {
            continue;  // the plan is in the system's code page, which is another one here
        }
#endif
        EXPECT_EQ(EncodeCodePage(text), bytes) << name;  // and so does the plan, here
    }
}

}  // namespace
}  // namespace dravik
