// The one command of the program: from the text box's listing to a flight plan file beside the program.
#pragma once

#include <filesystem>
#include <optional>

#include "conversion/messages.h"
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

// Converts the host's listing and saves the plan beside the running program, or in `directory` when one
// is given (tests do): "Done!" and an emptied box, or a stop message and the text left as it was. It
// throws nothing: running out of memory, or any other failure, is one of the stop messages, and a
// window that cannot show the message keeps the listing.
void cmdR_Click(ConvertHost& host,
                const std::optional<std::filesystem::path>& directory = std::nullopt) noexcept;

}  // namespace dravik
