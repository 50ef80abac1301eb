// Every text the convert command shows the user, in one place. In the notes, the words in braces are
// filled in: {line}, {count} and {column} with numbers, the others with the texts named beside them.
#pragma once

#include "text/text.h"

namespace dravik {

inline constexpr TextView kProgramName = u"Dravik";
inline constexpr TextView kDoneMessage = u"Done!";
inline constexpr TextView kNotEnoughPointsMessage = u"Not enough or invalid points!";
inline constexpr TextView kTooManyPointsMessage = u"Too many points! At most 4000 are allowed.";
inline constexpr TextView kSaveFailedMessage = u"Could not save the flight plan!";
// Reasons of a failed save that are the program's own, not the system's.
inline constexpr TextView kUnusableIdentifier =
    u"An identifier contains a character that cannot be used in a file name.";
inline constexpr TextView kNoCodePage = u"The system cannot convert the plan's text to its 8-bit code page.";
inline constexpr TextView kOutOfMemoryMessage = u"The listing is too large for the memory available.";
inline constexpr TextView kConversionFailedMessage = u"Could not convert the listing!";
// When the program's own folder cannot be found; the system's reason follows.
inline constexpr TextView kNoProgramFolderMessage = u"Could not find the folder that holds Dravik!";
// After "Done!" and the plan's path, when the program runs from the temporary folder (from inside a zip).
inline constexpr TextView kTemporaryFolderNote =
    u"This folder is temporary and Windows may delete it with the plan: unpack the zip into a folder of "
    u"your own and start Dravik from there.";

// The note after "Not enough or invalid points!" or "Done!" when lines that look like route points are
// none: which line, then where it first leaves the layout.
inline constexpr TextView kOneDamagedLine =
    u"Line {line} looks like a route point, but it does not keep to the columns of the header.";
inline constexpr TextView kManyDamagedLines =
    u"{count} lines look like route points, but they do not keep to the columns of the header; the "
    u"first is line {line}.";
inline constexpr TextView kOneLineLeftOut =
    u"Line {line} looks like a route point, but it does not keep to the columns of the header, so it "
    u"was left out of the plan.";
inline constexpr TextView kManyLinesLeftOut =
    u"{count} lines look like route points, but they do not keep to the columns of the header, so "
    u"they were left out of the plan; the first is line {line}.";

// Above that, first, when the plan's departure or destination is not the one the listing meant: {id} is
// the plan's, {lineId} the damaged line's own.
inline constexpr TextView kPlanStartsElsewhere =
    u"The plan starts at {id}, because line {line} ({lineId}) does not keep to the columns.";
inline constexpr TextView kPlanEndsElsewhere =
    u"The plan ends at {id}, because line {line} ({lineId}) does not keep to the columns.";

// The lines were joined: {count} positions on one line.
inline constexpr TextView kLineBreaksLost =
    u"It holds {count} positions, one for each route point: the line breaks between them were lost on "
    u"the way.";
// Something stands before the first column: {text} as it stands, {like} one of the two after it or empty.
inline constexpr TextView kSomethingBefore =
    u"It starts with \"{text}\" before its first column{like}; the listing must start in column 1.";
inline constexpr TextView kLikeQuotedMail = u", as a quoted e-mail does";
inline constexpr TextView kLikeLineNumbers = u", as when line numbers are copied with it";

// The columns have moved as a whole: {why} is one of the four after it.
inline constexpr TextView kPositionMoved =
    u"Its position starts in column {column}, but the header has it at column 29: {why}";
inline constexpr TextView kIndented = u"the line is indented, and it must start in column 1.";
inline constexpr TextView kTabsForSpaces =
    u"tabs stand where the header has spaces, as when cells are copied from a spreadsheet.";
inline constexpr TextView kSpacesLost = u"the spaces that line the columns up were lost on the way.";
inline constexpr TextView kSpacesAdded = u"it has more spaces than the header.";

// The line ends before the name's column, its position in place.
inline constexpr TextView kEndsEarly =
    u"The line ends early, at column {column}, as when a program wraps long lines and moves the rest to "
    u"the next line.";

// The position is in place and one column breaks the layout: {expected} is what belongs there, {held}
// what the line holds, and {why}, possibly empty, one of the three after it.
inline constexpr TextView kColumnBroken = u"Column {column} should hold {expected}, but {held}.{why}";
inline constexpr TextView kDegreeSignChanged =
    u" The degree sign was changed on the way; Dravik needs the sign \u00B0 itself.";
inline constexpr TextView kApostropheChanged =
    u" The apostrophe was changed on the way, as a word processor does; Dravik needs a plain '.";
inline constexpr TextView kSpacesChanged =
    u" The spaces were changed on the way, as a web page may do; Dravik needs plain spaces.";

// {expected}
inline constexpr TextView kExpectsDigit = u"a digit";
inline constexpr TextView kExpectsSpace = u"a space";
inline constexpr TextView kExpectsDegreeSign = u"the degree sign \u00B0";
inline constexpr TextView kExpectsApostrophe = u"an apostrophe '";
inline constexpr TextView kExpectsPoint = u"a point";
inline constexpr TextView kExpectsSecondsMark = u"a seconds mark";
// {held}: a visible character in quotes, an invisible one by its name.
inline constexpr TextView kHoldsVisible = u"it holds \"{text}\"";
inline constexpr TextView kHoldsNamed = u"it holds {text}";
inline constexpr TextView kTab = u"a tab";
inline constexpr TextView kNoBreakSpace = u"a no-break space";
inline constexpr TextView kNarrowNoBreakSpace = u"a narrow no-break space";
inline constexpr TextView kOtherSpace = u"a space of another kind";
inline constexpr TextView kInvisibleCharacter = u"an invisible character";

// Last, after "Done!": a route point's identifier holds a character no one sees, which the plan keeps as
// the listing has it. {where} is one of the three after them, {what} an invisible character's name.
inline constexpr TextView kHiddenInFileName =
    u"The identifier \"{id}\" on line {line} {where} {what}; the plan and its file name keep it.";
inline constexpr TextView kHiddenInPlan =
    u"The identifier \"{id}\" on line {line} {where} {what}; the plan keeps it.";
inline constexpr TextView kStartsWith = u"starts with";
inline constexpr TextView kEndsWith = u"ends with";
inline constexpr TextView kHolds = u"holds";

}  // namespace dravik
