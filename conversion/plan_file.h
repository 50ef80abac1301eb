// Putting a route on disk as a flight plan file, all or nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "conversion/route_listing.h"
#include "text/text.h"

namespace dravik {

// Why a plan was not saved, in words for the user.
struct SaveError {
    Text path;    // the plan file's full path, e.g. u"/home/ann/dravik/EAXA-EAXB.PLN"
    Text reason;  // the system's words, e.g. u"Permission denied"
};

// The file's bytes: each line in the 8-bit code page followed by CR LF, no byte-order mark.
std::optional<std::string> EncodePlan(const std::vector<Text>& lines);

// Where a route's plan goes, worked out once for the save and for what the user reads.
struct PlanFile {
    // DepId-DestId.PLN in the folder; none when an identifier holds "/", "\" or NUL, or a character
    // the platform cannot put in a file name, so the plan can never land outside the folder.
    std::optional<std::filesystem::path> path;
    // The full path as the user reads it, e.g. u"/home/ann/dravik/EAXA-EAXB.PLN"; a NUL shows as U+2400.
    Text shown;
};

PlanFile PlanFileIn(const std::filesystem::path& directory, const Route& route);

// Writes the route's plan to `file`, replacing an earlier plan of that name only once the new one is
// completely on disk. Returns what went wrong, or nothing on success.
std::optional<SaveError> SavePlan(const PlanFile& file, const Route& route);

}  // namespace dravik
