// Fuzzes the note's promise that no route point goes missing without a word: every position the pasted
// text holds is that of a route point in the plan, or stands on a line the note counts. The positions
// are found here by a reader of its own, spelt out from the listing's way of writing them, not by the
// note's search. The input's bytes are read as UTF-16 code units, as plan_fuzz reads them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "conversion/damaged_lines.h"
#include "conversion/route_listing.h"
#include "fuzz/fuzz_support.h"

namespace {

using dravik::Text;
using dravik::TextView;
using dravik::fuzz::IsDigit;
using dravik::fuzz::Require;

// A coordinate as the listing writes it, one step a character: H its hemisphere, # a digit, M a mark
// (the degree sign or an apostrophe, however a page changed it: one to five characters that are not
// digits) and "." the seconds' point.
constexpr TextView kLatitude = u"H##M##M##.##";
constexpr TextView kLongitude = u"H###M##M##.##";
constexpr std::size_t kLongestMark = 5;

// Reads `shape` at `at` with one of two hemisphere letters; appends the hemisphere and the digits to
// `key` and gives the index after it.
std::optional<std::size_t> Read(TextView line, std::size_t at, TextView shape, TextView hemispheres,
                                Text& key) {
    for (const char16_t step : shape) {
        if (step == u'M') {
            std::size_t length = 0;
            while (at < line.size() && !IsDigit(line[at]) && length < kLongestMark + 1) {
                ++at;
                ++length;
            }
            if (length == 0 || length > kLongestMark) {
                return std::nullopt;
            }
            continue;
        }
        if (at >= line.size()) {
            return std::nullopt;
        }
        const char16_t unit = line[at++];
        const bool fits = step == u'#'   ? IsDigit(unit)
                          : step == u'H' ? hemispheres.find(unit) != TextView::npos
                                         : unit == step;
        if (!fits) {
            return std::nullopt;
        }
        if (step != u'.') {
            key += unit;
        }
    }
    return at;
}

// Every position on a line: a latitude, then only characters that are no digits (its seconds mark and
// the space, a tab, "&nbsp;"), then a longitude. Each latitude is tried, so positions may share a
// longitude. The keys are the hemispheres and digits: "N550503 00E0123922 00" without the spaces.
std::vector<Text> PositionsOn(TextView line) {
    std::vector<Text> keys;
    for (std::size_t at = 0; at < line.size(); ++at) {
        Text key;
        const std::optional<std::size_t> end = Read(line, at, kLatitude, u"NS", key);
        if (!end) {
            continue;
        }
        std::size_t digit = *end;
        while (digit < line.size() && !IsDigit(line[digit])) {
            ++digit;
        }
        if (digit > *end && Read(line, digit - 1, kLongitude, u"EW", key)) {
            keys.push_back(key);
        }
    }
    return keys;
}

// A route point's own position, from the fixed columns of its layout (29 to 55).
Text KeyOfPoint(TextView point) {
    Text key;
    for (const std::size_t column :
         {29u, 30u, 31u, 33u, 34u, 36u, 37u, 39u, 40u, 43u, 44u, 45u, 46u, 48u, 49u, 51u, 52u, 54u, 55u}) {
        key += point[column - 1];
    }
    return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Text listing(size / 2, u'\0');
    std::memcpy(listing.data(), data, listing.size() * sizeof(char16_t));

    const std::vector<TextView> lines = dravik::SplitLines(listing);
    const std::vector<TextView> points = dravik::SelectPoints(lines);
    if (points.size() > dravik::kMaxPoints) {
        return 0;  // refused before anything is read for a note
    }
    const dravik::ListingDamage damage = dravik::FindDamage(lines, points);

    std::set<Text> plan;
    for (const TextView point : points) {
        plan.insert(KeyOfPoint(point));
    }
    const std::set<std::size_t> counted(damage.lines.begin(), damage.lines.end());
    Require(counted.size() == damage.lines.size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        for (const Text& position : PositionsOn(lines[index])) {
            Require(plan.count(position) > 0 || counted.count(index + 1) > 0);
        }
    }

    // The note names what it counts: the first line, and how many where there are more.
    const std::optional<dravik::Route> route =
        points.size() >= 2 ? std::optional<dravik::Route>(dravik::MakeRoute(points)) : std::nullopt;
    const Text note = dravik::DamageNote(damage, route ? &*route : nullptr);
    if (!damage.lines.empty()) {
        Require(damage.first && damage.first->number == damage.lines.front());
        const Text first = dravik::FormatWhole(static_cast<std::int64_t>(damage.lines.front()));
        Require(note.find(u"Line " + first) != Text::npos || note.find(u"line " + first) != Text::npos);
        Require(damage.lines.size() == 1 ||
                note.find(dravik::FormatWhole(static_cast<std::int64_t>(damage.lines.size())) + u" lines") !=
                    Text::npos);
    }
    return 0;
}
