// Degrees, minutes and seconds from a route listing to the plan's degrees and decimal minutes.
#pragma once

#include "text/text.h"

namespace dravik {

// The 27-unit coordinate field of a point line to the plan's position text:
// ConvertCoords(u"N55°05'03.00\" E012°39'22.00") == u"N55* 5.05', E012* 39.37'".
// Hundredths of a minute round half to even; 100 of them (seconds of 59.70 and up) carry into the
// minutes, which are never carried into the degrees.
Text ConvertCoords(TextView field);

}  // namespace dravik
