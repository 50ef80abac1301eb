#include "conversion/damaged_lines.h"

#include <initializer_list>
#include <utility>

#include "conversion/messages.h"

namespace dravik {

namespace {

constexpr std::size_t kPositionColumn = 29;
constexpr std::size_t kLongestMark = 5;  // "&deg;", as a web page may leave it
// A latitude and a longitude with one-character marks: no shorter line holds a position.
constexpr std::size_t kShortestPosition = 12 + 13;

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// Reads one coordinate from a line; each step moves on only if what it reads is there.
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
};

// A coordinate's first index and the index just after it.
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
};

// The first latitude (or longitude) that starts at `from` or later. Each look reads a bounded number
// of units, so a search stays linear in the line's length.
std::optional<Span> FindCoordinate(TextView line, std::size_t from, bool latitude) {
    const char16_t first = latitude ? u'N' : u'E';
    const char16_t second = latitude ? u'S' : u'W';
    const std::size_t degreeDigits = latitude ? 2 : 3;
    const char16_t* units = line.data();  // read once a unit: most lines hold no coordinate at all
    for (std::size_t at = from; at < line.size(); ++at) {
        if (units[at] == first || units[at] == second) {
            if (const std::optional<std::size_t> end =
                    CoordinateReader(line, at).Read(first, second, degreeDigits)) {
                return Span{at, *end};
            }
        }
    }
    return std::nullopt;
}

// Where the line's first position starts (0-based) and how many positions it holds in a row.
struct Positions {
    std::size_t start = 0;
    std::size_t count = 0;
};

Positions FindPositions(TextView line) {
    Positions found;
    if (line.size() < kShortestPosition) {
        return found;
    }
    std::optional<Span> latitude = FindCoordinate(line, 0, true);
    while (latitude) {
        const std::optional<Span> longitude = FindCoordinate(line, latitude->end, false);
        if (!longitude) {
            break;
        }
        if (found.count++ == 0) {
            found.start = latitude->start;
        }
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

// Spaces other than U+0020, as web pages and word processors put them in: the layout takes none.
bool IsOtherSpace(char16_t unit) {
    return unit == u'\u00A0' || unit == u'\u1680' || (unit >= u'\u2000' && unit <= u'\u200A') ||
           unit == u'\u202F' || unit == u'\u205F' || unit == u'\u3000';
}

// The name of a character no one sees, or nothing for one that shows.
TextView InvisibleName(char16_t unit) {
    if (unit == u'\t') {
        return kTab;
    }
    if (unit == u'\u00A0') {
        return kNoBreakSpace;
    }
    if (unit == u'\u202F') {
        return kNarrowNoBreakSpace;
    }
    if (IsOtherSpace(unit)) {
        return kOtherSpace;
    }
    const bool invisible = unit < u' ' || (unit >= u'\u007F' && unit <= u'\u009F') ||
                           (unit >= u'\u200B' && unit <= u'\u200F') || unit == u'\u2060' ||
                           unit == u'\uFEFF' || IsHighSurrogate(unit) || IsLowSurrogate(unit);
    return invisible ? kInvisibleCharacter : TextView();
}

// The line's first word from `from`: where a route point has its identifier.
Text FirstWord(TextView line, std::size_t from) {
    while (from < line.size() && IsBlank(line[from])) {
        ++from;
    }
    std::size_t end = from;
    while (end < line.size() && !IsBlank(line[end])) {
        ++end;
    }
    return Text(line.substr(from, end - from));
}

// The characters before a line's first column, when the rest keeps to the layout and they are no part
// of an identifier: they end in a blank, or hold no letter or digit ("> 2 ", "|", ">>").
bool IsPrefix(TextView line, std::size_t length) {
    if (length == 0 || length >= line.size() || IsBlank(line[length]) || !IsPointLine(line.substr(length))) {
        return false;
    }
    if (IsBlank(line[length - 1])) {
        return true;
    }
    for (const char16_t unit : line.substr(0, length)) {
        if (IsDigit(unit) || (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z')) {
            return false;
        }
    }
    return true;
}

// Why a line whose position starts in `column` moved as a whole.
Damage WhyMoved(TextView line, std::size_t column) {
    const std::size_t firstOther = line.find_first_not_of(u" \t");
    const std::size_t blanks = firstOther == TextView::npos ? line.size() : firstOther;
    if (blanks > 0 && column - blanks == kPositionColumn) {
        return Damage::Indented;
    }
    if (column > kPositionColumn && IsPrefix(line, column - kPositionColumn)) {
        return Damage::SomethingBefore;
    }
    if (line.substr(0, column - 1).find(u'\t') != TextView::npos) {
        return Damage::TabsForSpaces;
    }
    return column < kPositionColumn ? Damage::SpacesLost : Damage::SpacesAdded;
}

// The first column of a line with its position in place that breaks the layout, and why.
std::optional<DamagedLine> WhereBroken(TextView line) {
    // The pattern's last character, "*", takes anything: the layout is broken before it.
    const TextView layout = kPointLinePattern.substr(0, kPointLinePattern.size() - 1);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const char16_t expected = layout[i];
        if (i >= line.size()) {
            DamagedLine ends;
            ends.damage = Damage::EndsEarly;
            ends.column = line.size();
            return ends;
        }
        const bool fits = expected == u'?' || (expected == u'#' ? IsDigit(line[i]) : line[i] == expected);
        if (!fits) {
            DamagedLine broken;
            broken.column = i + 1;
            broken.expected = expected;
            broken.held = HeldAt(line, i, expected);
            broken.damage = expected == u'\u00B0' ? Damage::DegreeSignChanged
                            : expected == u'\''   ? Damage::ApostropheChanged
                            : expected == u' ' && broken.held.size() == 1 && IsOtherSpace(broken.held[0])
                                ? Damage::SpacesChanged
                                : Damage::ColumnBroken;
            return broken;
        }
    }
    return std::nullopt;  // the line keeps to the layout: a route point
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

// What the line holds, as the note says it: an invisible character by its name, anything else (a
// damaged mark too, "&deg;") in quotes as it stands.
Text Held(TextView held) {
    const TextView name = held.size() == 1 ? InvisibleName(held.front()) : TextView();
    return name.empty() ? Fill(kHoldsVisible, {{u"text", held}}) : Fill(kHoldsNamed, {{u"text", name}});
}

TextView LikeWhat(TextView before) {
    const std::size_t first = before.find_first_not_of(u" \t");
    if (first != TextView::npos && before[first] == u'>') {
        return kLikeQuotedMail;
    }
    for (const char16_t unit : before) {
        if (!IsBlank(unit) && !IsDigit(unit) && unit != u'.' && unit != u':') {
            return {};
        }
    }
    return kLikeLineNumbers;
}

// The second line of the note: why the line is no route point.
Text Why(const DamagedLine& line) {
    const Text column = Number(line.column);
    const auto moved = [&column](TextView why) {
        return Fill(kPositionMoved, {{u"column", column}, {u"why", why}});
    };
    const auto broken = [&](TextView why) {
        return Fill(kColumnBroken, {{u"column", column},
                                    {u"expected", Expected(line.expected)},
                                    {u"held", Held(line.held)},
                                    {u"why", why}});
    };
    switch (line.damage) {
        case Damage::LineBreaksLost:
            return Fill(kLineBreaksLost, {{u"count", Number(line.positions)}});
        case Damage::SomethingBefore:
            return Fill(kSomethingBefore, {{u"text", line.held}, {u"like", LikeWhat(line.held)}});
        case Damage::Indented:
            return moved(kIndented);
        case Damage::TabsForSpaces:
            return moved(kTabsForSpaces);
        case Damage::SpacesLost:
            return moved(kSpacesLost);
        case Damage::SpacesAdded:
            return moved(kSpacesAdded);
        case Damage::EndsEarly:
            return Fill(kEndsEarly, {{u"column", column}});
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
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (IsHighSurrogate(id[i]) && i + 1 < id.size() && IsLowSurrogate(id[i + 1])) {
            ++i;  // a character beyond U+FFFF, which shows
            continue;
        }
        if (!InvisibleName(id[i]).empty()) {
            HiddenCharacter hidden;
            hidden.line = number;
            hidden.unit = id[i];
            hidden.atStart = i == 0;
            hidden.atEnd = i + 1 == id.size();
            hidden.inFileName = endOfRoute && PointId(point).find(id[i]) != Text::npos;
            hidden.id = id;
            hidden.id.erase(i, 1);
            return hidden;
        }
    }
    return std::nullopt;
}

Text Moved(TextView form, TextView planId, const DamagedLine& line) {
    return Fill(form, {{u"id", planId}, {u"line", Number(line.number)}, {u"lineId", line.id}});
}

}  // namespace

std::optional<std::size_t> PositionColumn(TextView line) {
    const Positions positions = FindPositions(line);
    return positions.count > 0 ? std::optional<std::size_t>(positions.start + 1) : std::nullopt;
}

std::optional<DamagedLine> ExamineLine(TextView line) {
    const Positions positions = FindPositions(line);
    if (positions.count == 0) {
        return std::nullopt;
    }
    const std::size_t column = positions.start + 1;
    DamagedLine found;
    if (positions.count > 1) {
        found.damage = Damage::LineBreaksLost;
        found.column = column;
    } else if (column != kPositionColumn) {
        found.damage = WhyMoved(line, column);
        found.column = column;
    } else if (const std::optional<DamagedLine> broken = WhereBroken(line)) {
        found = *broken;
    } else {
        return std::nullopt;
    }
    found.positions = positions.count;
    std::size_t before = 0;
    if (found.damage == Damage::SomethingBefore) {
        before = column - kPositionColumn;
        found.held = Text(line.substr(0, before));
    }
    found.id = FirstWord(line, before);
    return found;
}

ListingDamage FindDamage(const std::vector<TextView>& lines, const std::vector<TextView>& points) {
    ListingDamage damage;
    std::size_t next = 0;  // the next of `points`, which stand in the listing's order
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const TextView line = lines[index];
        const std::size_t number = index + 1;
        if (next < points.size() && points[next].data() == line.data()) {
            // The first, unless a later one is in the file's name and the first is not.
            const bool endOfRoute = next == 0 || next + 1 == points.size();
            std::optional<HiddenCharacter> hidden = FindHidden(line, number, endOfRoute);
            if (hidden && (!damage.hidden || (hidden->inFileName && !damage.hidden->inFileName))) {
                damage.hidden = std::move(hidden);
            }
            ++next;
        } else if (std::optional<DamagedLine> damaged = ExamineLine(line)) {
            damaged->number = number;
            ++damage.count;
            if (!damage.first) {
                damage.first = damaged;
            }
            if (next == 0 && !damage.beforeFirstPoint) {
                damage.beforeFirstPoint = damaged;
            } else if (next > 0 && next == points.size()) {
                damage.afterLastPoint = std::move(damaged);
            }
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
        add(Moved(kPlanEndsElsewhere, route->DestId, *damage.afterLastPoint));
    }
    if (damage.first) {
        const bool one = damage.count == 1;
        const TextView which =
            route ? (one ? kOneLineLeftOut : kManyLinesLeftOut) : (one ? kOneDamagedLine : kManyDamagedLines);
        add(Fill(which, {{u"line", Number(damage.first->number)}, {u"count", Number(damage.count)}}));
        add(Why(*damage.first));
    }
    if (route && damage.hidden) {
        const HiddenCharacter& hidden = *damage.hidden;
        const TextView where = hidden.atEnd ? kEndsWith : hidden.atStart ? kStartsWith : kHolds;
        add(Fill(hidden.inFileName ? kHiddenInFileName : kHiddenInPlan,
                 {{u"id", hidden.id},
                  {u"line", Number(hidden.line)},
                  {u"where", where},
                  {u"what", InvisibleName(hidden.unit)}}));
    }
    return note;
}

}  // namespace dravik
