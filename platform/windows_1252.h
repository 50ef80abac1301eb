// Windows-1252, the code page the simulator reads on Western Windows systems, as a table: the same
// bytes on every system, with no converter of the system's to be missing.
#pragma once

#include <string>

#include "text/text.h"

namespace dravik {

// Each character as Windows-1252 writes it, "?" for one it cannot hold (one "?" for a character beyond
// U+FFFF or a lone surrogate). EncodeWindows1252(u"\u20ACa\u00B0") == "\x80" "a\xB0". As Windows' own
// table, U+0081, U+008D, U+008F, U+0090 and U+009D are written as the bytes of the same number.
std::string EncodeWindows1252(TextView text);

}  // namespace dravik
