#include "conversion/damaged_lines.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "conversion/messages.h"
#include "conversion/route_listing.h"

namespace dravik {

namespace {

constexpr std::size_t kPositionColumn = 29;
constexpr std::size_t kLongestMark = 5;  // "&deg;", as a web page may leave it
// A latitude and a longitude with one-character marks: no shorter line holds a position.
constexpr std::size_t kShortestPosition = 12 + 13;

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

// Reads one coordinate at a time from a line; each step moves on only if what it reads is there.
class CoordinateReader {
public:
    CoordinateReader(TextView line, std::size_t at) : line_(line), at_(at) {}

    // A hemisphere letter, `degreeDigits` digits of degrees, then minutes and seconds; the index just
    // after the seconds' hundredths, or none.
    std::optional<std::size_t> Read(char16_t hemisphere1, char16_t hemisphere2, std::size_t degreeDigits) {
        const bool read = (Unit(hemisphere1) || Unit(hemisphere2)) && Digits(degreeDigits) && Mark() &&
                          Digits(2) && Mark() && Digits(2) && Unit(u'.') && Digits(2);
        return read ? std::optional<std::size_t>(at_) : std::nullopt;
    }

private:
    bool Unit(char16_t wanted) {
        if (at_ < line_.size() && line_[at_] == wanted) {
            ++at_;
            return true;
        }
        return false;
    }

    bool Digits(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++at_) {
            if (at_ >= line_.size() || !IsDigit(line_[at_])) {
                return false;
            }
        }
        return true;
    }

    // The characters standing for a degree sign or a minute mark, however damaged: never a digit.
    bool Mark() {
        const std::size_t start = at_;
        while (at_ < line_.size() && !IsDigit(line_[at_]) && at_ - start <= kLongestMark) {
            ++at_;
        }
        return at_ > start && at_ - start <= kLongestMark;
    }

    TextView line_;
    std::size_t at_;
};

std::optional<std::size_t> LatitudeEnd(TextView line, std::size_t at) {
    return CoordinateReader(line, at).Read(u'N', u'S', 2);
}

bool IsLongitude(TextView line, std::size_t at) {
    return CoordinateReader(line, at).Read(u'E', u'W', 3).has_value();
}

// Every position holds seconds, "dd.dd": five units in a row, one of which stands at an index that is 4
// more than a multiple of 5. Reading only those rules out most lines that are no route points at a fifth
// of the cost, so that a listing that converts cleanly pays next to nothing for this search.
bool MayHoldSeconds(TextView line) {
    for (std::size_t i = 4; i < line.size(); i += 5) {
        if (IsDigit(line[i]) || line[i] == u'.') {
            return true;
        }
    }
    return false;
}

// What the line holds where the layout wants `expected`: the whole mark where a degree sign or an
// apostrophe belongs ("&deg;"), a whole character elsewhere, nothing at the end of the line.
Text HeldAt(TextView line, std::size_t index, char16_t expected) {
    std::size_t end = index + 1;
    if (expected == u'\u00B0' || expected == u'\'') {
        while (end < line.size() && !IsDigit(line[end]) && end - index < kLongestMark) {
            ++end;
        }
    } else if (end < line.size() && IsHighSurrogate(line[index]) && IsLowSurrogate(line[end])) {
        ++end;
    }
    return Text(line.substr(index, end - index));
}

constexpr TextView kBreak = u"\r\n";

// The 1-based number of the line that starts at `index`.
std::size_t LineNumberAt(TextView listing, std::size_t index) {
    std::size_t number = 1;
    for (std::size_t at = listing.find(kBreak); at < index; at = listing.find(kBreak, at + 2)) {
        ++number;
    }
    return number;
}

LayoutBreak Explain(TextView line, std::size_t lineNumber, std::size_t positionColumn) {
    LayoutBreak found;
    found.line = lineNumber;
    found.positionColumn = positionColumn;
    const std::size_t firstOther = line.find_first_not_of(u" \t");
    found.leadingBlanks = firstOther == TextView::npos ? line.size() : firstOther;
    found.hasTab = line.substr(0, positionColumn - 1).find(u'\t') != TextView::npos;
    if (positionColumn != kPositionColumn) {
        return found;
    }
    // The pattern's last character, "*", takes anything: the layout is broken before it.
    const TextView layout = kPointLinePattern.substr(0, kPointLinePattern.size() - 1);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const char16_t expected = layout[i];
        const bool fits = i < line.size() &&
                          (expected == u'?' || (expected == u'#' ? IsDigit(line[i]) : line[i] == expected));
        if (!fits) {
            found.column = i + 1;
            found.expected = expected;
            if (i < line.size()) {
                found.held = HeldAt(line, i, expected);
            }
            break;
        }
    }
    return found;
}

// The form with each {name} replaced by its value: Fill(u"line {line}", {{u"line", u"2"}}) == u"line 2".
Text Fill(TextView form, std::initializer_list<std::pair<TextView, TextView>> values) {
    Text filled;
    std::size_t at = 0;
    for (std::size_t open = form.find(u'{'); open != TextView::npos; open = form.find(u'{', at)) {
        const std::size_t close = form.find(u'}', open);
        filled += form.substr(at, open - at);
        const TextView name = form.substr(open + 1, close - open - 1);
        for (const auto& [key, value] : values) {
            if (key == name) {
                filled += value;
            }
        }
        at = close + 1;
    }
    return filled += form.substr(at);
}

Text Number(std::size_t value) {
    return FormatWhole(static_cast<std::int64_t>(value));
}

// Spaces other than U+0020, as web pages and word processors put them in: the layout takes none.
bool IsOtherSpace(char16_t unit) {
    return unit == u'\u00A0' || unit == u'\u1680' || (unit >= u'\u2000' && unit <= u'\u200A') ||
           unit == u'\u202F' || unit == u'\u205F' || unit == u'\u3000';
}

bool IsInvisible(char16_t unit) {
    return unit < u' ' || (unit >= u'\u007F' && unit <= u'\u009F') ||
           (unit >= u'\u200B' && unit <= u'\u200F') || unit == u'\u2060' || unit == u'\uFEFF' ||
           (IsHighSurrogate(unit) || IsLowSurrogate(unit));
}

// What the line holds, as the note says it: an invisible character by its name, anything else (a
// damaged mark too, "&deg;") in quotes as it stands.
Text Held(TextView held) {
    if (held.empty()) {
        return Text(kHoldsNothing);
    }
    TextView name;
    if (held.size() == 1) {
        const char16_t unit = held.front();
        name = unit == u'\t'        ? kTab
               : unit == u'\u00A0'  ? kNoBreakSpace
               : unit == u'\u202F'  ? kNarrowNoBreakSpace
               : IsOtherSpace(unit) ? kOtherSpace
               : IsInvisible(unit)  ? kInvisibleCharacter
                                    : TextView();
    }
    return name.empty() ? Fill(kHoldsVisible, {{u"text", held}}) : Fill(kHoldsNamed, {{u"text", name}});
}

TextView Expected(char16_t patternUnit) {
    switch (patternUnit) {
        case u'#':
            return kExpectsDigit;
        case u' ':
            return kExpectsSpace;
        case u'\u00B0':
            return kExpectsDegreeSign;
        case u'\'':
            return kExpectsApostrophe;
        case u'.':
            return kExpectsPoint;
        default:
            return kExpectsSecondsMark;
    }
}

TextView WhyMoved(const LayoutBreak& where) {
    if (where.leadingBlanks > 0 && where.positionColumn - where.leadingBlanks == kPositionColumn) {
        return kIndented;
    }
    if (where.hasTab) {
        return kTabsForSpaces;
    }
    return where.positionColumn < kPositionColumn ? kSpacesLost : kSpacesAdded;
}

TextView WhyBroken(const LayoutBreak& where) {
    if (where.expected == u'\u00B0') {
        return kDegreeSignChanged;
    }
    if (where.expected == u'\'') {
        return kApostropheChanged;
    }
    const bool spaceChanged = where.expected == u' ' && where.held.size() == 1 && IsOtherSpace(where.held[0]);
    return spaceChanged ? kSpacesChanged : TextView();
}

}  // namespace

std::optional<std::size_t> PositionColumn(TextView line) {
    if (line.size() < kShortestPosition || !MayHoldSeconds(line)) {
        return std::nullopt;
    }
    // The first latitude (most lines have none, so this one pass is all they cost) ...
    std::size_t latitude = 0;
    std::optional<std::size_t> latitudeEnd;
    for (; latitude < line.size() && !latitudeEnd; ++latitude) {
        if (line[latitude] == u'N' || line[latitude] == u'S') {
            latitudeEnd = LatitudeEnd(line, latitude);
        }
    }
    if (!latitudeEnd) {
        return std::nullopt;
    }
    --latitude;
    // ... then the last longitude: any latitude that ends before it has a longitude after it. Each look
    // reads a bounded number of units, so the whole search stays linear in the line's length.
    std::size_t longitude = line.size();
    while (longitude > *latitudeEnd && !IsLongitude(line, longitude - 1)) {
        --longitude;
    }
    if (longitude == *latitudeEnd) {
        return std::nullopt;
    }
    const std::size_t lastLongitude = longitude - 1;
    for (; latitude < lastLongitude; ++latitude) {
        latitudeEnd = LatitudeEnd(line, latitude);
        if (latitudeEnd && *latitudeEnd <= lastLongitude) {
            return latitude + 1;
        }
    }
    return std::nullopt;
}

std::optional<DamagedLines> FindDamagedLines(TextView listing, const std::vector<TextView>& points) {
    // The skipped lines are the text between the points (views into the listing, in order). Within it,
    // only a line that may hold seconds (see MayHoldSeconds, read here across whole runs of lines) is
    // cut out and searched, and the lines are counted only to name the first damaged one.
    std::optional<DamagedLines> damaged;
    const auto searchBetween = [&](std::size_t from, std::size_t to) {
        std::size_t i = from + 4;
        while (i < to) {
            if (!IsDigit(listing[i]) && listing[i] != u'.') {
                i += 5;
                continue;
            }
            const std::size_t breakBefore = listing.substr(from, i - from).rfind(kBreak);
            const std::size_t lineStart = breakBefore == TextView::npos ? from : from + breakBefore + 2;
            const std::size_t lineEnd = std::min(listing.find(kBreak, i), to);
            const TextView line = listing.substr(lineStart, lineEnd - lineStart);
            if (const std::optional<std::size_t> column = PositionColumn(line)) {
                if (!damaged) {
                    damaged = DamagedLines{0, Explain(line, LineNumberAt(listing, lineStart), *column)};
                }
                ++damaged->count;
            }
            i = lineEnd + 4;  // the next line's units at the same stride
        }
    };
    std::size_t from = 0;
    for (const TextView point : points) {
        const auto at = static_cast<std::size_t>(point.data() - listing.data());
        searchBetween(from, at);
        from = at + point.size();
    }
    searchBetween(from, listing.size());
    return damaged;
}

Text DamagedLinesNote(const DamagedLines& damaged, bool leftOut) {
    const LayoutBreak& where = damaged.first;
    const bool one = damaged.count == 1;
    const TextView which =
        leftOut ? (one ? kOneLineLeftOut : kManyLinesLeftOut) : (one ? kOneDamagedLine : kManyDamagedLines);
    Text note = Fill(which, {{u"line", Number(where.line)}, {u"count", Number(damaged.count)}});
    note += u'\n';
    if (where.positionColumn != kPositionColumn) {
        return note +=
               Fill(kPositionMoved, {{u"column", Number(where.positionColumn)}, {u"why", WhyMoved(where)}});
    }
    return note += Fill(kColumnBroken, {{u"column", Number(where.column)},
                                        {u"expected", Expected(where.expected)},
                                        {u"held", Held(where.held)},
                                        {u"why", WhyBroken(where)}});
}

}  // namespace dravik
