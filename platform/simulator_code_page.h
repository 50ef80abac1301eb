// The code page the simulator reads, for a system that has no 8-bit code page of its own (Linux):
// Windows-1252, as Western Windows systems have it, by a table, with no converter of the system's to be
// missing. Windows writes the plan in its own ANSI code page instead; there the table is only checked
// against Windows' conversion.
#pragma once

#include <string>

#include "text/text.h"

namespace dravik {

// Each character as Windows-1252 writes it, "?" for one it cannot hold (one "?" for a character beyond
// U+FFFF or a lone surrogate). EncodeWindows1252(u"\u20ACa\u00B0") == "\x80" "a\xB0". As Windows' own
// table, U+0081, U+008D, U+008F, U+0090 and U+009D are written as the bytes of the same number.
std::string EncodeWindows1252(TextView text);

}  // namespace dravik
