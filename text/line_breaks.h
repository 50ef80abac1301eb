// Line breaks as a text box holds them and as the convert command reads them. A text rule, whatever
// toolkit draws the box.
#pragma once

#include <cstddef>

#include "text/text.h"

namespace dravik {

// A text box's contents as the command wants them: every line break as CR LF. A CR LF pair, a lone
// CR, a lone LF, U+2029 (paragraph separator) and U+2028 (line separator) each become one CR LF;
// everything else, tabs and no-break spaces included, stays as it is.
// WithCrLfBreaks(u"a\u2029b\nc") == u"a\r\nb\r\nc".
Text WithCrLfBreaks(TextView boxText);

// The length of the longest line, any line break counting as one: LongestLine(u"ab\r\nc") == 2.
std::size_t LongestLine(TextView text);

}  // namespace dravik
