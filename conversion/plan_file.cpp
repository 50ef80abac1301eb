#include "conversion/plan_file.h"

#include "conversion/flight_plan.h"
#include "conversion/messages.h"
#include "platform/platform.h"

namespace dravik {

namespace {

// A separator would take the file out of the program's folder, and a NUL would cut its name short.
bool IsUsableInFileName(TextView id) {
    return id.find_first_of(TextView(u"/\\\0", 3)) == TextView::npos;
}

}  // namespace

// A NUL is shown as a visible symbol rather than ending the text.
Text ShownPlanPath(const std::filesystem::path& directory, const Route& route) {
    Text shown = TextFromPath(directory / "");
    for (const char16_t unit : PlanFileName(route.DepId, route.DestId)) {
        shown += unit == 0 ? u'\u2400' : unit;
    }
    return shown;
}

std::optional<std::string> EncodePlan(const std::vector<Text>& lines) {
    std::size_t size = 0;
    for (const Text& line : lines) {
        size += line.size() + 2;
    }
    Text joined;
    joined.reserve(size);
    for (const Text& line : lines) {
        joined += line;
        joined += u"\r\n";
    }
    return EncodeCodePage(joined);
}

std::optional<std::filesystem::path> PlanFilePath(const std::filesystem::path& directory,
                                                  const Route& route) {
    if (!IsUsableInFileName(route.DepId) || !IsUsableInFileName(route.DestId)) {
        return std::nullopt;
    }
    const std::optional<std::filesystem::path> name = PathFromText(PlanFileName(route.DepId, route.DestId));
    if (!name) {
        return std::nullopt;
    }
    // Appended, not joined with operator/: on Windows a name such as "C:-B.PLN" would otherwise be
    // read as a path on drive C and replace the directory altogether.
    std::filesystem::path path = directory / "";
    path += *name;
    return path;
}

std::optional<SaveError> SavePlan(const std::filesystem::path& directory, const Route& route) {
    const Text shownPath = ShownPlanPath(directory, route);
    const std::optional<std::filesystem::path> path = PlanFilePath(directory, route);
    if (!path) {
        return SaveError{shownPath, Text(kUnusableIdentifier)};
    }
    const std::optional<std::string> bytes = EncodePlan(PlanLines(route));
    if (!bytes) {
        return SaveError{shownPath, Text(kNoCodePage)};
    }
    if (const std::error_code error = ReplaceFileContents(*path, *bytes)) {
        return SaveError{shownPath, SystemReason(error)};
    }
    return std::nullopt;
}

}  // namespace dravik
