#include "conversion/convert_command.h"

#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/plan_file.h"
#include "conversion/platform.h"
#include "conversion/route_listing.h"

namespace dravik {

namespace {

void Stop(ConvertHost& host, TextView message) {
    host.ShowMessage(Text(message), MessageIcon::Stop, Text(kProgramName));
}

void ReportSaveFailure(ConvertHost& host, const SaveError& error) {
    Stop(host, Text(kSaveFailedMessage) + u'\n' + error.path + u'\n' + error.reason);
}

}  // namespace

void cmdR_Click(ConvertHost& host, const std::filesystem::path& directory) {
    const Text listing = host.ReadText();
    std::vector<TextView> points = SelectPoints(listing);
    if (points.size() < 2) {
        Stop(host, kNotEnoughPointsMessage);
        return;
    }
    if (points.size() > kMaxPoints) {
        Stop(host, kTooManyPointsMessage);
        return;
    }
    const Route route = MakeRoute(std::move(points));
    if (const std::optional<SaveError> error = SavePlan(directory, route)) {
        ReportSaveFailure(host, *error);
        return;
    }
    host.ShowMessage(Text(kDoneMessage), MessageIcon::Information, Text(kProgramName));
    host.SetText({});
}

void cmdR_Click(ConvertHost& host) {
    std::error_code error;
    const std::filesystem::path directory = ProgramDirectory(error);
    if (error) {
        ReportSaveFailure(host, SaveError{u"", TextFromSystem(error.message())});
        return;
    }
    cmdR_Click(host, directory);
}

}  // namespace dravik
