#include "conversion/convert_command.h"

#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/damaged_lines.h"
#include "conversion/plan_file.h"
#include "conversion/route_listing.h"
#include "platform/platform.h"

namespace dravik {

namespace {

// How one run ends: the whole message and whether the plan is on disk, so the box may be emptied.
struct Outcome {
    Text message;
    MessageIcon icon = MessageIcon::Stop;
    bool saved = false;
};

// The message, then each of the detail lines that are not empty.
Text Message(TextView message, TextView details) {
    Text text(message);
    if (!details.empty()) {
        text += u'\n';
        text += details;
    }
    return text;
}

Outcome Stopped(TextView message, TextView details = {}) {
    return {Message(message, details), MessageIcon::Stop, false};
}

// One run, from the listing to the outcome; it may throw, cmdR_Click catches.
Outcome Convert(ConvertHost& host, const std::optional<std::filesystem::path>& given) {
    std::filesystem::path directory;
    if (given) {
        directory = *given;
    } else {
        std::error_code error;
        directory = ProgramDirectory(error);
        if (error) {
            return Stopped(kNoProgramFolderMessage, SystemReason(error));
        }
    }
    const Text listing = host.ReadText();
    const std::vector<TextView> lines = SplitLines(listing);
    std::vector<TextView> points = SelectPoints(lines);
    if (points.size() > kMaxPoints) {
        return Stopped(kTooManyPointsMessage);
    }
    // Every line is read once more, for the note; the points themselves stay as selected.
    const ListingDamage damage = FindDamage(lines, points);
    if (points.size() < 2) {
        return Stopped(kNotEnoughPointsMessage, DamageNote(damage, nullptr));
    }
    const Route route = MakeRoute(std::move(points));
    const PlanFile file = PlanFileIn(directory, route);
    // Made before the save, so that nothing after a saved plan can fail for want of memory.
    Outcome done{Message(kDoneMessage, DamageNote(damage, &route)), MessageIcon::Information, true};
    if (IsInTemporaryFolder(directory)) {
        done.message = Message(done.message, file.shown + u'\n' + Text(kTemporaryFolderNote));
    }
    if (const std::optional<SaveError> error = SavePlan(file, route)) {
        return Stopped(kSaveFailedMessage, error->path + u'\n' + error->reason);
    }
    return done;
}

}  // namespace

void cmdR_Click(ConvertHost& host, const std::optional<std::filesystem::path>& directory) noexcept {
    try {
        const Text title(kProgramName);
        // Made before the run: saying it needs no memory.
        Text outOfMemory(kOutOfMemoryMessage);
        Outcome outcome;
        // By the time a message is made, everything the run held has been released.
        try {
            outcome = Convert(host, directory);
        } catch (const std::bad_alloc&) {
            outcome.message = std::move(outOfMemory);
        } catch (const std::length_error&) {  // a text longer than a string can hold
            outcome.message = std::move(outOfMemory);
        } catch (const std::exception& error) {
            try {
                outcome = Stopped(kConversionFailedMessage, TextFromSystem(error.what()));
            } catch (const std::exception&) {
                outcome.message = std::move(outOfMemory);
            }
        }
        host.ShowMessage(outcome.message, outcome.icon, title);
        if (outcome.saved) {
            host.SetText({});
        }
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to tell, and the listing stays
        // Too little memory to start, or a window that could not show the message or empty its box.
    }
}

}  // namespace dravik
