// The flight plan file's name and its lines, as text; writing them is plan_file.h's business.
#pragma once

#include <vector>

#include "conversion/route_listing.h"
#include "text/text.h"

namespace dravik {

// PlanFileName(u"EAXA", u"EAXB") == u"EAXA-EAXB.PLN". Identifiers are used as listed, even empty ones.
Text PlanFileName(TextView depId, TextView destId);

// Twelve fixed lines, then "waypoint.N=..." for each point in order; no line ends.
std::vector<Text> PlanLines(const Route& route);

}  // namespace dravik
