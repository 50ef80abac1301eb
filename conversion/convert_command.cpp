#include "conversion/convert_command.h"

#include <exception>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/plan_file.h"
#include "conversion/route_listing.h"
#include "platform/platform.h"

namespace dravik {

namespace {

// How one run ends: the message to show and whether the plan is on disk, so the box may be emptied.
// A fixed message is held as a view, so that ending a run that saved its plan needs no memory.
struct Outcome {
    TextView message;
    Text details;  // lines after the message: the path and the reason of a failed save
    MessageIcon icon = MessageIcon::Stop;
    bool saved = false;
};

Outcome Stopped(TextView message, Text details = {}) {
    return {message, std::move(details), MessageIcon::Stop, false};
}

Outcome SaveFailed(const SaveError& error) {
    return Stopped(kSaveFailedMessage, error.path + u'\n' + error.reason);
}

Outcome Convert(const Text& listing, const std::filesystem::path& directory) {
    std::vector<TextView> points = SelectPoints(listing);
    if (points.size() < 2) {
        return Stopped(kNotEnoughPointsMessage);
    }
    if (points.size() > kMaxPoints) {
        return Stopped(kTooManyPointsMessage);
    }
    const Route route = MakeRoute(std::move(points));
    // Made before the save, so that nothing after a saved plan can fail for want of memory.
    Text details;
    if (IsInTemporaryFolder(directory)) {
        details = ShownPlanPath(directory, route) + u'\n' + Text(kTemporaryFolderNote);
    }
    if (const std::optional<SaveError> error = SavePlan(directory, route)) {
        return SaveFailed(*error);
    }
    return {kDoneMessage, std::move(details), MessageIcon::Information, true};
}

// Runs `convert` so that nothing it throws can end the program with the user's text: a conversion that
// runs out of memory, or fails in any other way, becomes a stop message. By the time the message is
// made, everything the conversion held has been released.
template <typename Conversion>
Outcome Guarded(Conversion convert) {
    try {
        return convert();
    } catch (const std::bad_alloc&) {
        return Stopped(kOutOfMemoryMessage);
    } catch (const std::length_error&) {  // a text longer than a string can hold
        return Stopped(kOutOfMemoryMessage);
    } catch (const std::exception& error) {
        return Stopped(kConversionFailedMessage, TextFromSystem(error.what()));
    }
}

void Report(ConvertHost& host, const Outcome& outcome) {
    Text message(outcome.message);
    if (!outcome.details.empty()) {
        message += u'\n' + outcome.details;
    }
    host.ShowMessage(message, outcome.icon, Text(kProgramName));
    if (outcome.saved) {
        host.SetText({});
    }
}

}  // namespace

void cmdR_Click(ConvertHost& host, const std::filesystem::path& directory) {
    Report(host, Guarded([&] { return Convert(host.ReadText(), directory); }));
}

void cmdR_Click(ConvertHost& host, const std::optional<std::filesystem::path>& directory) {
    if (directory) {
        cmdR_Click(host, *directory);
        return;
    }
    Report(host, Guarded([&] {
               std::error_code error;
               const std::filesystem::path programDirectory = ProgramDirectory(error);
               if (error) {
                   return SaveFailed(SaveError{u"", SystemReason(error)});
               }
               return Convert(host.ReadText(), programDirectory);
           }));
}

}  // namespace dravik
