// The one command of the program: from the text box's listing to a flight plan file beside the program.
#pragma once

#include <filesystem>
#include <optional>

#include "text/text.h"

namespace dravik {

enum class MessageIcon { Information, Stop };

// What the command needs from its window. Tests pass a fake; the program passes the main window.
class ConvertHost {
public:
    virtual ~ConvertHost() = default;
    // The whole text of the text box, with every line break as CR LF.
    virtual Text ReadText() = 0;
    // Replaces the box's text as one edit the user can undo.
    virtual void SetText(const Text& text) = 0;
    // A modal box with one OK button; returns once the user has dismissed it.
    virtual void ShowMessage(const Text& text, MessageIcon icon, const Text& title) = 0;
};

inline constexpr TextView kProgramName = u"Dravik";
inline constexpr TextView kDoneMessage = u"Done!";
inline constexpr TextView kNotEnoughPointsMessage = u"Not enough or invalid points!";
inline constexpr TextView kTooManyPointsMessage = u"Too many points! At most 4000 are allowed.";
inline constexpr TextView kSaveFailedMessage = u"Could not save the flight plan!";
inline constexpr TextView kOutOfMemoryMessage = u"The listing is too large for the memory available.";
inline constexpr TextView kConversionFailedMessage = u"Could not convert the listing!";
// After "Done!" and the plan's path, when the program runs from the temporary folder (from inside a zip).
inline constexpr TextView kTemporaryFolderNote =
    u"This folder is temporary and Windows may delete it with the plan: unpack the zip into a folder of "
    u"your own and start Dravik from there.";

// Converts the host's listing and saves the plan in `directory`: "Done!" and an emptied box, or a stop
// message and the text left as it was. Throws only what the host throws from ShowMessage or SetText;
// running out of memory during the conversion is one of the stop messages.
void cmdR_Click(ConvertHost& host, const std::filesystem::path& directory);

// The same, saving beside the running program unless `directory` names another folder (tests do).
void cmdR_Click(ConvertHost& host, const std::optional<std::filesystem::path>& directory = std::nullopt);

}  // namespace dravik
