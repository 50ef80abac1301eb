// Fuzzes the whole road from pasted text to the plan file's bytes, checking properties, not only that
// nothing crashes. The input's bytes are read as UTF-16 code units, so lone surrogates, NULs and very
// long lines all occur.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "conversion/flight_plan.h"
#include "conversion/plan_file.h"
#include "conversion/route_listing.h"
#include "fuzz/fuzz_support.h"

namespace {

using dravik::Text;
using dravik::TextView;
using dravik::fuzz::IsDigit;
using dravik::fuzz::Require;

// The point-line layout spelt out column by column, independently of the wildcard matcher.
bool HasPointLineLayout(TextView line) {
    if (line.size() < 57) {
        return false;
    }
    const auto at = [line](std::size_t column) { return line[column - 1]; };
    for (const std::size_t column :
         {18u, 25u, 30u, 31u, 33u, 34u, 36u, 37u, 39u, 40u, 44u, 45u, 46u, 48u, 49u, 51u, 52u, 54u, 55u}) {
        if (!IsDigit(at(column))) {
            return false;
        }
    }
    return at(15) == u' ' && at(42) == u' ' && at(57) == u' ' && at(32) == u'\u00B0' && at(47) == u'\u00B0' &&
           at(35) == u'\'' && at(50) == u'\'' && at(38) == u'.' && at(53) == u'.';
}

bool HasLoneBreak(TextView text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Text listing(size / 2, u'\0');
    std::memcpy(listing.data(), data, listing.size() * sizeof(char16_t));

    const auto points = dravik::SelectPoints(listing);
    std::size_t expectedCount = 0;
    for (const TextView piece : dravik::SplitLines(listing)) {
        Require(piece.data() >= listing.data() &&
                piece.data() + piece.size() <= listing.data() + listing.size());
        expectedCount += HasPointLineLayout(piece) ? 1 : 0;
    }
    Require(points.size() == expectedCount);
    for (const TextView point : points) {
        Require(HasPointLineLayout(point));
    }
    if (points.size() < 2 || points.size() > dravik::kMaxPoints) {
        return 0;
    }

    const dravik::Route route = dravik::MakeRoute(points);
    const auto lines = dravik::PlanLines(route);
    Require(lines.size() == 12 + points.size());
    if (!HasLoneBreak(listing)) {
        for (const Text& line : lines) {
            Require(line.find_first_of(u"\r\n") == Text::npos);
        }
        const auto bytes = dravik::EncodePlan(lines);
        Require(bytes.has_value());
        std::size_t breaks = 0;
        for (std::size_t i = 0; i < bytes->size(); ++i) {
            if ((*bytes)[i] == '\r' || (*bytes)[i] == '\n') {
                Require((*bytes)[i] == '\r' && i + 1 < bytes->size() && (*bytes)[i + 1] == '\n');
                ++breaks;
                ++i;
            }
        }
        Require(breaks == lines.size());
    }

    const std::filesystem::path directory = "/plans";
    if (const auto path = dravik::PlanFileIn(directory, route).path) {
        const std::string name = path->filename().string();
        Require(path->parent_path() == directory);
        Require(name.find('/') == std::string::npos && name.find('\\') == std::string::npos);
        Require(name.find('\0') == std::string::npos);
    } else {
        const Text ids = route.DepId + route.DestId;
        bool lone = false;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            lone = lone || (ids[i] >= 0xD800 && ids[i] <= 0xDFFF);
        }
        Require(ids.find_first_of(TextView(u"/\\\0", 3)) != Text::npos || lone);
    }
    return 0;
}
