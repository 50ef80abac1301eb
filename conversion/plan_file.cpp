#include "conversion/plan_file.h"

#include "conversion/flight_plan.h"
#include "conversion/messages.h"
#include "platform/platform.h"

namespace dravik {

namespace {

// A separator would take the file out of the program's folder, and a NUL would cut its name short. On
// Windows a colon names a drive or, on NTFS, a hidden stream of another file ("A:B-C.PLN" is a stream
// of a file "A"), so that "Done!" would tell of a plan no one can find; and Windows takes no character
// below U+0020 in a name, so a tab in an identifier gets the same words as a colon rather than the
// system's own about a volume label.
bool IsUsableInFileName(TextView id) {
    for (const char16_t unit : id) {
#ifdef _WIN32
        if (unit < u' ' || unit == u':') {
            return false;
        }
#endif
        if (unit == u'\0' || unit == u'/' || unit == u'\\') {
            return false;
        }
    }
    return true;
}

}  // namespace

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

PlanFile PlanFileIn(const std::filesystem::path& directory, const Route& route) {
    const Text name = PlanFileName(route.DepId, route.DestId);
    PlanFile file;
    file.shown = TextFromPath(directory / "");
    for (const char16_t unit : name) {
        file.shown += unit == 0 ? u'\u2400' : unit;  // a NUL would end the text the user reads
    }
    if (IsUsableInFileName(route.DepId) && IsUsableInFileName(route.DestId)) {
        if (const std::optional<std::filesystem::path> fileName = PathFromText(name)) {
            // Appended, not joined with operator/: on Windows a name such as "C:-B.PLN" would otherwise
            // be read as a path on drive C and replace the directory altogether.
            file.path = directory / "";
            *file.path += *fileName;
        }
    }
    return file;
}

std::optional<SaveError> SavePlan(const PlanFile& file, const Route& route) {
    if (!file.path) {
        return SaveError{file.shown, Text(kUnusableIdentifier)};
    }
    const std::optional<std::string> bytes = EncodePlan(PlanLines(route));
    if (!bytes) {
        return SaveError{file.shown, Text(kNoCodePage)};
    }
    if (const std::error_code error = ReplaceFileContents(*file.path, *bytes)) {
        return SaveError{file.shown, SystemReason(error)};
    }
    return std::nullopt;
}

}  // namespace dravik
