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

Outcome SaveFailed(const SaveError& error) {
    return Stopped(kSaveFailedMessage, error.path + u'\n' + error.reason);
}

Outcome Convert(const Text& listing, const std::filesystem::path& directory) {
    std::vector<TextView> points = SelectPoints(listing);
    if (points.size() > kMaxPoints) {
        return Stopped(kTooManyPointsMessage);
    }
    // A damaged line is looked for only among the lines the selection skipped, and only here, once.
    const bool enough = points.size() >= 2;
    Text note;
    if (const std::optional<DamagedLines> damaged = FindDamagedLines(listing, points)) {
        note = DamagedLinesNote(*damaged, enough);
    }
    if (!enough) {
        return Stopped(kNotEnoughPointsMessage, note);
    }
    const Route route = MakeRoute(std::move(points));
    // Made before the save, so that nothing after a saved plan can fail for want of memory.
    Outcome done{Message(kDoneMessage, note), MessageIcon::Information, true};
    if (IsInTemporaryFolder(directory)) {
        done.message =
            Message(done.message, ShownPlanPath(directory, route) + u'\n' + Text(kTemporaryFolderNote));
    }
    if (const std::optional<SaveError> error = SavePlan(directory, route)) {
        return SaveFailed(*error);
    }
    return done;
}

Outcome Run(ConvertHost& host, const std::optional<std::filesystem::path>& directory) {
    if (directory) {
        return Convert(host.ReadText(), *directory);
    }
    std::error_code error;
    const std::filesystem::path programDirectory = ProgramDirectory(error);
    if (error) {
        return Stopped(kNoProgramFolderMessage, SystemReason(error));
    }
    return Convert(host.ReadText(), programDirectory);
}

// The out-of-memory message, made before the run: saying it needs no memory.
Outcome OutOfMemory(Text& message) noexcept {
    return {std::move(message), MessageIcon::Stop, false};
}

// A failure in the words it came with, or the out-of-memory message where there is no memory to say more.
Outcome Failed(const std::exception& error, Text& outOfMemory) noexcept {
    try {
        return Stopped(kConversionFailedMessage, TextFromSystem(error.what()));
    } catch (const std::exception&) {
        return OutOfMemory(outOfMemory);
    }
}

// A run whose failures, whatever throws them, become a stop message; by the time any message is made,
// everything the run held has been released.
Outcome Guarded(ConvertHost& host, const std::optional<std::filesystem::path>& directory, Text& outOfMemory) {
    try {
        return Run(host, directory);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(outOfMemory);
    } catch (const std::length_error&) {  // a text longer than a string can hold
        return OutOfMemory(outOfMemory);
    } catch (const std::exception& error) {
        return Failed(error, outOfMemory);
    }
}

}  // namespace

void cmdR_Click(ConvertHost& host, const std::optional<std::filesystem::path>& directory) noexcept {
    try {
        const Text title(kProgramName);
        Text outOfMemory(kOutOfMemoryMessage);
        const Outcome outcome = Guarded(host, directory, outOfMemory);
        host.ShowMessage(outcome.message, outcome.icon, title);
        if (outcome.saved) {
            host.SetText({});
        }
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to tell, and the listing stays
        // Too little memory to start, or a window that could not show the message or empty its box.
    }
}

}  // namespace dravik
