#include "conversion/damaged_lines.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "conversion/messages.h"

namespace dravik {

namespace {

constexpr std::size_t kPositionColumn = 29;
// A route point's own position ends in column 56, its seconds mark: any other starts after it.
constexpr std::size_t kAfterOwnPosition = 56;
constexpr std::size_t kLongestMark = 5;  // "&deg;", as a web page may leave it
// A latitude and a longitude with one-character marks: no shorter line holds a position.
constexpr std::size_t kShortestPosition = 12 + 13;

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// Spaces other than U+0020, as web pages and word processors put them in: the layout takes none.
bool IsOtherSpace(char16_t unit) {
    return unit == u'\u00A0' || unit == u'\u1680' || (unit >= u'\u2000' && unit <= u'\u200A') ||
           unit == u'\u202F' || unit == u'\u205F' || unit == u'\u3000';
}

// A position's hemispheres and digits as one number, whatever its marks: two lines hold the same
// position when their keys are equal.
using PositionKey = std::uint64_t;

// Reads one coordinate from a line; each step moves on only if what it reads is there.
class CoordinateReader {
public:
    CoordinateReader(TextView line, std::size_t at) : line_(line), at_(at) {}

    // A hemisphere letter, `degreeDigits` digits of degrees, then minutes and seconds; the index just
    // after the seconds' hundredths, or none.
    std::optional<std::size_t> Read(char16_t hemisphere1, char16_t hemisphere2, std::size_t degreeDigits) {
        const bool read = Hemisphere(hemisphere1, hemisphere2) && Digits(degreeDigits) && Mark() &&
                          Digits(2) && Mark() && Digits(2) && Unit(u'.') && Digits(2);
        return read ? std::optional<std::size_t>(at_) : std::nullopt;
    }

    // What was read: the second hemisphere as 1 before the digits, so "S01°02'03.04" is 101020304.
    [[nodiscard]] std::uint64_t value() const { return value_; }

private:
    bool Hemisphere(char16_t first, char16_t second) {
        value_ = at_ < line_.size() && line_[at_] == second ? 1 : 0;
        return Unit(first) || Unit(second);
    }

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
            value_ = value_ * 10 + static_cast<std::uint64_t>(line_[at_] - u'0');
        }
        return true;
    }

    // The characters standing for a degree sign or a minute mark, however damaged: never a digit.
    // A longer one stops before a digit can follow it, so the reading fails there.
    bool Mark() {
        const std::size_t start = at_;
        while (at_ < line_.size() && !IsDigit(line_[at_]) && at_ - start < kLongestMark) {
            ++at_;
        }
        return at_ > start;
    }

    TextView line_;
    std::size_t at_;
    std::uint64_t value_ = 0;
};

// A coordinate's first index, the index just after it, and its value.
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint64_t value = 0;
};

// A latitude's value is below 2 x 10^8 and a longitude's below 2 x 10^9.
PositionKey KeyOf(const Span& latitude, const Span& longitude) {
    return latitude.value * 2'000'000'000U + longitude.value;
}

std::optional<Span> ReadCoordinate(TextView line, std::size_t at, bool latitude) {
    CoordinateReader reader(line, at);
    const std::optional<std::size_t> end = latitude ? reader.Read(u'N', u'S', 2) : reader.Read(u'E', u'W', 3);
    return end ? std::optional<Span>(Span{at, *end, reader.value()}) : std::nullopt;
}

// The first latitude (or longitude) that starts at `from` or later. Each look reads a bounded number
// of units, so a search stays linear in the line's length.
std::optional<Span> FindCoordinate(TextView line, std::size_t from, bool latitude) {
    const char16_t first = latitude ? u'N' : u'E';
    const char16_t second = latitude ? u'S' : u'W';
    const char16_t* units = line.data();  // read once a unit: most lines hold no coordinate at all
    for (std::size_t at = from; at < line.size(); ++at) {
        if (units[at] == first || units[at] == second) {
            if (std::optional<Span> found = ReadCoordinate(line, at, latitude)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

// The positions of a route's points, to tell a line that repeats one of them from one that holds a
// point the plan lacks.
class PlanPositions {
public:
    explicit PlanPositions(const std::vector<TextView>& points) {
        keys_.reserve(points.size());
        for (const TextView point : points) {
            // Columns 29 and 43; a point whose hemispheres are no letters of the kind has no key.
            const std::optional<Span> latitude = ReadCoordinate(point, kPositionColumn - 1, true);
            const std::optional<Span> longitude = ReadCoordinate(point, kPositionColumn + 13, false);
            if (latitude && longitude) {
                keys_.push_back(KeyOf(*latitude, *longitude));
            }
        }
        std::ranges::sort(keys_);
    }

    [[nodiscard]] bool Holds(PositionKey key) const { return std::ranges::binary_search(keys_, key); }

private:
    std::vector<PositionKey> keys_;
};

// Where a line's first position starts (0-based), how many it holds in a row, and whether each of them
// is a route point's of the plan.
struct Positions {
    std::size_t start = 0;
    std::size_t count = 0;
    bool inPlan = true;
};

Positions FindPositions(TextView line, const PlanPositions* plan = nullptr) {
    if (line.size() < kShortestPosition) {
        return {};
    }
    Positions found;
    std::optional<Span> latitude = FindCoordinate(line, 0, true);
    while (latitude) {
        const std::optional<Span> longitude = FindCoordinate(line, latitude->end, false);
        if (!longitude) {
            break;
        }
        if (found.count++ == 0) {
            found.start = latitude->start;
        }
        found.inPlan = found.inPlan && plan && plan->Holds(KeyOf(*latitude, *longitude));
        latitude = FindCoordinate(line, longitude->end, true);
    }
    return found;
}

// What the line holds where the layout wants `expected`: the whole mark where a degree sign or an
// apostrophe belongs ("&deg;"), a whole character elsewhere.
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

// The name of a character no one sees, or nothing for one that shows.
TextView InvisibleName(char16_t unit) {
    switch (unit) {
        case u'\t':
            return kTab;
        case u'\u00A0':
            return kNoBreakSpace;
        case u'\u202F':
            return kNarrowNoBreakSpace;
        case u'\u200B':
            return kZeroWidthSpace;
        case u'\uFEFF':
            return kByteOrderMark;
        case u'\u00AD':
            return kSoftHyphen;
        default:
            break;
    }
    if (IsOtherSpace(unit)) {
        return kOtherSpace;
    }
    const bool invisible = unit < u' ' || (unit >= u'\u007F' && unit <= u'\u009F') ||
                           (unit >= u'\u200C' && unit <= u'\u200F') || unit == u'\u2060' ||
                           IsHighSurrogate(unit) || IsLowSurrogate(unit);
    return invisible ? kInvisibleCharacter : TextView();
}

// The character at `at` as it counts for the eye: a surrogate pair is one character, which shows.
std::size_t CharacterLength(TextView text, std::size_t at) {
    return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]) ? 2 : 1;
}

bool IsHidden(TextView text, std::size_t at) {
    return CharacterLength(text, at) == 1 && !InvisibleName(text[at]).empty();
}

// The form with each {name} replaced by its value: Fill(u"line {line}", {{u"line", u"2"}}) == u"line 2".
Text Fill(const Form& form, std::initializer_list<std::pair<TextView, TextView>> values) {
    const TextView text = form.text();
    Text filled;
    std::size_t at = 0;
    // A form is well formed (messages.h checks each as it is compiled): every brace is closed.
    for (std::size_t open = text.find(u'{'); open != TextView::npos; open = text.find(u'{', at)) {
        const std::size_t close = text.find(u'}', open);
        filled += text.substr(at, open - at);
        const TextView name = text.substr(open + 1, close - open - 1);
        for (const auto& [key, value] : values) {
            if (key == name) {
                filled += value;
            }
        }
        at = close + 1;
    }
    return filled += text.substr(at);
}

Text Number(std::size_t value) {
    return FormatWhole(static_cast<std::int64_t>(value));
}

// What a line holds, as the note says it: visible characters in quotes as they stand, each one no one
// sees by its name. Describe(u"12.\t") == u"\"12.\" and a tab".
Text Describe(TextView text) {
    Text described;
    const auto add = [&described](const Text& part) {
        if (!described.empty()) {
            described += kAnd;
        }
        described += part;
    };
    std::size_t run = 0;  // where the visible characters not yet added start
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) {
        if (IsHidden(text, at)) {
            if (at > run) {
                add(Fill(kQuoted, {{u"text", text.substr(run, at - run)}}));
            }
            add(Text(InvisibleName(text[at])));
            run = at + 1;
        }
    }
    if (text.size() > run || text.empty()) {
        add(Fill(kQuoted, {{u"text", text.substr(run)}}));
    }
    return described;
}

// Where a hidden character stands in an identifier, as the note says it.
TextView Where(TextView id, std::size_t at) {
    return at + 1 == id.size() ? kEndsWith : at == 0 ? kStartsWith : kHolds;
}

// An identifier as the note names it: as it stands, or with the first character no one sees named.
// ShownId(u"KJFK\u00A0") == u"KJFK, which ends with a no-break space".
Text ShownId(TextView id) {
    Text visible;
    std::optional<std::size_t> hidden;
    for (std::size_t at = 0; at < id.size(); at += CharacterLength(id, at)) {
        if (!IsHidden(id, at)) {
            visible += id.substr(at, CharacterLength(id, at));
        } else if (!hidden) {
            hidden = at;
        }
    }
    if (!hidden) {
        return Text(id);
    }
    if (visible.empty()) {
        return Describe(id);
    }
    return Fill(kIdWithHidden,
                {{u"id", visible}, {u"where", Where(id, *hidden)}, {u"what", InvisibleName(id[*hidden])}});
}

bool IsSeparator(char16_t unit) {
    return IsBlank(unit) || IsOtherSpace(unit);
}

// The line's first word from `from`: where a route point has its identifier. Where a web page put
// no-break spaces between the words, or their entity, the first of them ends it; a no-break space at
// its very end stays, to be named.
Text FirstWord(TextView line, std::size_t from) {
    while (from < line.size() && IsBlank(line[from])) {
        ++from;
    }
    std::size_t end = from;
    while (end < line.size() && !IsBlank(line[end])) {
        ++end;
    }
    end = std::min(end, line.substr(0, end).find(u"&nbsp;", from));
    for (std::size_t at = from; at < end; ++at) {
        if (IsOtherSpace(line[at])) {
            std::size_t after = at;
            while (after < end && IsOtherSpace(line[after])) {
                ++after;
            }
            end = after < end ? at : end;
            break;
        }
    }
    return Text(line.substr(from, end - from));
}

// A frequency, a track or a distance: what stands between a route point's identifier and its position.
bool IsNumber(TextView word) {
    return std::ranges::all_of(word, [](char16_t unit) { return IsDigit(unit) || unit == u'.'; });
}

// The identifier of the route point whose position starts at `position`, on a line that another route
// point's line was joined onto: the word before its numbers ("BIKTA WSSS 169 84 N01°..." gives WSSS),
// looked for from `from` on. Empty when no word stands there.
Text OwnerOf(TextView line, std::size_t position, std::size_t from) {
    constexpr int kNumbers = 3;  // frequency, track, distance
    std::size_t end = position;
    for (int word = 0; word <= kNumbers; ++word) {
        while (end > from && IsSeparator(line[end - 1])) {
            --end;
        }
        std::size_t start = end;
        while (start > from && !IsSeparator(line[start - 1])) {
            --start;
        }
        const TextView text = line.substr(start, end - start);
        if (text.empty() || !IsNumber(text) || word == kNumbers) {
            return Text(text);
        }
        end = start;
    }
    return {};
}

// The first column of a line with its position in place that breaks the layout, and why, into
// `found`; false when the line keeps to the layout, as a route point does.
bool WhereBroken(TextView line, TextView next, DamagedLine& found) {
    // The pattern's last character, "*", takes anything: the layout is broken before it.
    const TextView layout = kPointLinePattern.substr(0, kPointLinePattern.size() - 1);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const char16_t expected = layout[i];
        if (i >= line.size()) {
            // At column 56 either a program wrapped the name onto the next line, or the space that
            // ends a point without a name was trimmed: then the next line is no name.
            const bool wrapped = !TrimSpaces(next).empty() && FindPositions(next).count == 0;
            found.damage =
                line.size() == kAfterOwnPosition && !wrapped ? Damage::SpaceTrimmed : Damage::EndsEarly;
            found.column = line.size();
            return true;
        }
        const bool fits = expected == u'?' || (expected == u'#' ? IsDigit(line[i]) : line[i] == expected);
        if (!fits) {
            found.column = i + 1;
            found.expected = expected;
            found.held = HeldAt(line, i, expected);
            found.damage = expected == u'\u00B0' ? Damage::DegreeSignChanged
                           : expected == u'\''   ? Damage::ApostropheChanged
                           : expected == u' ' && found.held.size() == 1 && IsOtherSpace(found.held[0])
                               ? Damage::SpacesChanged
                               : Damage::ColumnBroken;
            return true;
        }
    }
    return false;
}

bool IsLetter(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

// The characters before a line's first column, when the rest keeps to the layout but for its marks
// and spaces, and they are no part of an identifier nor another line joined onto it: they hold no
// letter, and digits only before a blank ("> 2 ", "12.\t", "|", ">>", a zero-width space).
bool IsPrefix(TextView line, std::size_t length) {
    if (length >= line.size() || IsBlank(line[length])) {
        return false;
    }
    const TextView before = line.substr(0, length);
    if (std::ranges::any_of(before, IsLetter) ||
        (!IsBlank(before.back()) && std::ranges::any_of(before, IsDigit))) {
        return false;
    }
    DamagedLine rest;
    if (!WhereBroken(line.substr(length), {}, rest)) {
        return true;
    }
    switch (rest.damage) {
        case Damage::DegreeSignChanged:
        case Damage::ApostropheChanged:
        case Damage::SpacesChanged:
        case Damage::EndsEarly:
        case Damage::SpaceTrimmed:
            return true;
        default:
            return false;
    }
}

// The marks a quoted e-mail or a table puts before a line ("> ", ">> ", "| "), which no identifier
// starts with: they tell what stands before the first column even where the spaces after them moved.
std::size_t QuoteMarks(TextView line) {
    const std::size_t length = std::min(line.find_first_not_of(u"> |\t"), line.size());
    const TextView marks = line.substr(0, length);
    return marks.find_first_of(u">|") == TextView::npos ? 0 : length;
}

// What stands before the first column of a line whose position starts in `column`, if anything does,
// and how long it is.
std::optional<Damage> WhatIsBefore(TextView line, std::size_t column, std::size_t& length) {
    length = column > kPositionColumn ? column - kPositionColumn : 0;
    if (length > 0 && line.find_first_not_of(u" \t") == length) {
        return Damage::Indented;
    }
    if (length == 0 || !IsPrefix(line, length)) {
        length = QuoteMarks(line);
        if (length == 0) {
            return std::nullopt;
        }
    }
    const TextView before = line.substr(0, length);
    if (before[before.find_first_not_of(u" \t")] == u'>') {
        return Damage::QuotedMail;
    }
    const bool numbers =
        std::ranges::any_of(before, IsDigit) && std::ranges::all_of(before, [](char16_t unit) {
            return IsBlank(unit) || IsDigit(unit) || unit == u'.' || unit == u':';
        });
    return numbers ? Damage::LineNumbers : Damage::SomethingBefore;
}

// Why a line whose position starts in `column`, with nothing before its first column, moved as a whole.
Damage WhyMoved(TextView line, std::size_t column) {
    const TextView before = line.substr(0, column - 1);
    if (before.find(u'\t') != TextView::npos) {
        return Damage::TabsForSpaces;
    }
    if (column < kPositionColumn) {
        return Damage::SpacesLost;
    }
    // The header's columns hold a space at least (column 15): more spaces than that explain the move.
    const auto spaces = static_cast<std::size_t>(std::ranges::count(before, u' '));
    return spaces > column - kPositionColumn ? Damage::SpacesAdded : Damage::WiderBefore;
}

std::optional<DamagedLine> Examine(TextView line, TextView next, const PlanPositions* plan) {
    const Positions positions = FindPositions(line, plan);
    if (positions.count == 0) {
        return std::nullopt;
    }
    DamagedLine found;
    found.column = positions.start + 1;
    std::size_t before = 0;
    if (const std::optional<Damage> damage = WhatIsBefore(line, found.column, before)) {
        found.damage = *damage;
        found.held = Text(line.substr(0, before));  // an indented line's blanks, which the first word skips
    } else if (positions.count > 1) {
        found.damage = Damage::LineBreaksLost;
    } else if (found.column != kPositionColumn) {
        found.damage = WhyMoved(line, found.column);
    } else if (!WhereBroken(line, next, found)) {
        return std::nullopt;  // the line keeps to the layout: a route point
    }
    found.positions = positions.count;
    found.inPlan = positions.inPlan;
    found.id = FirstWord(line, before);
    return found;
}

// A route point whose line holds another position too, joined onto it when a line break was lost.
std::optional<DamagedLine> ExaminePoint(TextView point, const PlanPositions& plan) {
    const Positions later = FindPositions(point.substr(kAfterOwnPosition), &plan);
    // A latitude in the columns before its own (which the layout leaves free) is another position too:
    // the first on the line is then not its own.
    const bool earlier = FindPositions(point).start + 1 < kPositionColumn;
    if (later.count == 0 && !earlier) {
        return std::nullopt;
    }
    DamagedLine found;
    found.damage = Damage::HoldsAnother;
    found.positions = 1 + later.count + (earlier ? 1 : 0);
    found.inPlan = later.count == 0 || later.inPlan;  // only a later one can be the listing's last
    if (later.count > 0) {
        // Named only where it is the one other position; the words for more count them instead.
        found.id = OwnerOf(point, kAfterOwnPosition + later.start, kAfterOwnPosition);
    }
    return found;
}

// The first sentence of the note: how many lines hold route points the plan does not, and which first.
const Form& HowMany(const ListingDamage& damage, bool planned) {
    const bool one = damage.lines.size() == 1;
    if (damage.pointsHoldMore) {
        return planned ? (one ? kOneLineHoldsMoreLeftOut : kManyLinesHoldMoreLeftOut)
                       : (one ? kOneLineHoldsMore : kManyLinesHoldMore);
    }
    return planned ? (one ? kOneLineLeftOut : kManyLinesLeftOut)
                   : (one ? kOneDamagedLine : kManyDamagedLines);
}

TextView Expected(char16_t patternUnit) {
    switch (patternUnit) {
        case u'#':
            return kExpectsDigit;
        case u' ':
            return kExpectsSpace;
        case u'\u00B0':
            return kExpectsDegreeSign;
        case u'.':
            return kExpectsPoint;
        default:  // "?", the seconds mark among them, takes anything: only the minutes' apostrophe is left
            return kExpectsApostrophe;
    }
}

// The second line of the note: why the line holds a route point the plan does not.
Text Why(const DamagedLine& line) {
    const Text column = Number(line.column);
    const auto moved = [&column](TextView why) {
        return Fill(kPositionMoved, {{u"column", column}, {u"why", why}});
    };
    const auto broken = [&](TextView why) {
        return Fill(kColumnBroken, {{u"column", column},
                                    {u"expected", Expected(line.expected)},
                                    {u"held", Describe(line.held)},
                                    {u"why", why}});
    };
    switch (line.damage) {
        case Damage::QuotedMail:
            return Fill(kQuotedMail, {{u"text", Describe(line.held)}});
        case Damage::LineNumbers:
            return Fill(kLineNumbers, {{u"text", Describe(line.held)}});
        case Damage::SomethingBefore:
            return Fill(kSomethingBefore, {{u"text", Describe(line.held)}});
        case Damage::Indented:
            return moved(kIndented);
        case Damage::HoldsAnother:
            if (line.positions == 2 && !line.id.empty()) {
                return Fill(kAlsoHolds, {{u"lineId", ShownId(line.id)}});
            }
            [[fallthrough]];
        case Damage::LineBreaksLost:
            return Fill(kLineBreaksLost, {{u"count", Number(line.positions)}});
        case Damage::TabsForSpaces:
            return moved(kTabsForSpaces);
        case Damage::SpacesLost:
            return moved(kSpacesLost);
        case Damage::SpacesAdded:
            return moved(kSpacesAdded);
        case Damage::WiderBefore:
            return moved(kWiderBefore);
        case Damage::EndsEarly:
            return Fill(kEndsEarly, {{u"column", column}});
        case Damage::SpaceTrimmed:
            return Text(kSpaceTrimmed);
        case Damage::DegreeSignChanged:
            return broken(kDegreeSignChanged);
        case Damage::ApostropheChanged:
            return broken(kApostropheChanged);
        case Damage::SpacesChanged:
            return broken(kSpacesChanged);
        case Damage::ColumnBroken:
            break;
    }
    return broken({});
}

// The first character no one sees in a route point's identifier, if any.
std::optional<HiddenCharacter> FindHidden(TextView point, std::size_t number, bool endOfRoute) {
    const Text id = PointLongId(point);
    for (std::size_t i = 0; i < id.size(); i += CharacterLength(id, i)) {
        if (IsHidden(id, i)) {
            HiddenCharacter hidden;
            hidden.line = number;
            hidden.unit = id[i];
            hidden.where = Where(id, i);
            hidden.inFileName = endOfRoute && PointId(point).find(id[i]) != Text::npos;
            hidden.id = id;
            hidden.id.erase(i, 1);
            return hidden;
        }
    }
    return std::nullopt;
}

Text Moved(const Form& form, TextView planId, const DamagedLine& line) {
    return Fill(form,
                {{u"id", ShownId(planId)}, {u"line", Number(line.number)}, {u"lineId", ShownId(line.id)}});
}

// Counts a line that holds a route point the plan does not, and keeps it where it moves the plan's
// departure (standing above it) or destination (on or below it).
void Count(ListingDamage& damage, DamagedLine line, bool aboveDeparture, bool belowDestination) {
    damage.lines.push_back(line.number);
    if (!damage.first) {
        damage.first = line;
    }
    if (line.inPlan) {
        return;
    }
    if (aboveDeparture && !damage.beforeFirstPoint) {
        damage.beforeFirstPoint = std::move(line);
    } else if (belowDestination) {
        damage.afterLastPoint = std::move(line);
    }
}

}  // namespace

std::optional<std::size_t> PositionColumn(TextView line) {
    const Positions positions = FindPositions(line);
    return positions.count > 0 ? std::optional<std::size_t>(positions.start + 1) : std::nullopt;
}

std::optional<DamagedLine> ExamineLine(TextView line, TextView next) {
    return Examine(line, next, nullptr);
}

ListingDamage FindDamage(const std::vector<TextView>& lines, const std::vector<TextView>& points) {
    ListingDamage damage;
    const PlanPositions plan(points);
    std::size_t next = 0;  // the next of `points`, which stand in the listing's order
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const TextView line = lines[index];
        const std::size_t number = index + 1;
        if (next < points.size() && points[next].data() == line.data()) {
            const bool last = next + 1 == points.size();
            // The first, unless a later one is in the file's name and the first is not.
            std::optional<HiddenCharacter> hidden = FindHidden(line, number, next == 0 || last);
            if (hidden && (!damage.hidden || (hidden->inFileName && !damage.hidden->inFileName))) {
                damage.hidden = std::move(hidden);
            }
            ++next;
            if (std::optional<DamagedLine> joined = ExaminePoint(line, plan)) {
                joined->number = number;
                damage.pointsHoldMore = true;
                Count(damage, std::move(*joined), false, last);
            }
        } else if (std::optional<DamagedLine> damaged =
                       Examine(line, index + 1 < lines.size() ? lines[index + 1] : TextView(), &plan)) {
            damaged->number = number;
            Count(damage, std::move(*damaged), next == 0, next > 0 && next == points.size());
        }
    }
    return damage;
}

Text DamageNote(const ListingDamage& damage, const Route* route) {
    Text note;
    const auto add = [&note](const Text& line) {
        if (!note.empty()) {
            note += u'\n';
        }
        note += line;
    };
    if (route && damage.beforeFirstPoint) {
        add(Moved(kPlanStartsElsewhere, route->DepId, *damage.beforeFirstPoint));
    }
    if (route && damage.afterLastPoint) {
        const bool joined = damage.afterLastPoint->damage == Damage::HoldsAnother;
        add(Moved(joined ? kPlanEndsBeforeJoined : kPlanEndsElsewhere, route->DestId,
                  *damage.afterLastPoint));
    }
    if (damage.first) {
        add(Fill(HowMany(damage, route != nullptr),
                 {{u"line", Number(damage.first->number)}, {u"count", Number(damage.lines.size())}}));
        add(Why(*damage.first));
    }
    if (route && damage.hidden) {
        const HiddenCharacter& hidden = *damage.hidden;
        add(Fill(hidden.inFileName ? kHiddenInFileName : kHiddenInPlan,
                 {{u"id", hidden.id},
                  {u"line", Number(hidden.line)},
                  {u"where", hidden.where},
                  {u"what", InvisibleName(hidden.unit)}}));
    }
    return note;
}

}  // namespace dravik
