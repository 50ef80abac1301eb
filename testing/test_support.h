// Shared by the conversion tests: the documented example route, a fake window and a scratch folder.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "conversion/route_listing.h"
#include "text/text.h"

namespace dravik::testing {

inline const Text kExampleListing =
    u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks\r\n"
    u"EAXA             0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD\r\n"
    u"XYZ     114.50  67     12   N55\u00B010'30.00\" E012\u00B055'00.00\" XYZ\r\n"
    u"GAMMA          102     40   N54\u00B058'59.40\" E013\u00B040'12.30\" GAMMA\r\n"
    u"EAXB           110     25   N54\u00B050'00.30\" E014\u00B010'45.60\" SOUTH-EAST FIELD";

inline const std::vector<std::string> kExampleLines = {
    "[flightplan]",
    "AppVersion=9.0.30612",
    "title=EAXA to EAXB",
    "description=EAXA, EAXB",
    "type=IFR",
    "routetype=0",
    "cruising_altitude=0",
    "departure_id=EAXA, N55* 5.05', E012* 39.37', +000000.00",
    "departure_position=36",
    "destination_id=EAXB, N54* 50.00', E014* 10.76', +000000.00",
    "departure_name=North Field",
    "destination_name=South-east Field",
    "waypoint.0=, EAXA, , EAXA, A, N55* 5.05', E012* 39.37', +000000.00,",
    "waypoint.1=, XYZ, , XYZ, A, N55* 10.50', E012* 55.00', +000000.00,",
    "waypoint.2=, GAMMA, , GAMMA, A, N54* 58.99', E013* 40.20', +000000.00,",
    "waypoint.3=, EAXB, , EAXB, A, N54* 50.00', E014* 10.76', +000000.00,",
};

// The example plan file, byte for byte.
inline std::string ExampleFileBytes() {
    std::string bytes;
    for (const std::string& line : kExampleLines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// A point line with the given identifier column (padded to 8) and name.
inline Text PointLine(TextView id, TextView name = u"") {
    Text line(id);
    line.resize(8, u' ');
    return line + u"         0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" " + Text(name);
}

inline Route RouteOf(const Text& listing) {
    return MakeRoute(SelectPoints(listing));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names of the entries in a folder, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder, removed with everything in it at the end: under the system's temporary directory, or
// on Windows beside the test, since a plan saved inside the temporary folder is reported with a warning.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path& under =
#ifdef _WIN32
                               std::filesystem::current_path()
#else
                               std::filesystem::temp_directory_path()
#endif
    ) {
        std::random_device entropy;
        path_ = under / ("dravik-test-" + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }

    std::vector<std::string> Entries() const {
        return testing::Entries(path_);
    }

private:
    std::filesystem::path path_;
};

// The program's folder, "app", inside a scratch folder (so that a write beside it would show), and a
// folder "elsewhere" beside it, where links may point; `plan` is the example's plan in "app".
struct ProgramFolder {
    ScratchFolder scratch;
    std::filesystem::path app = scratch.path() / "app";
    std::filesystem::path elsewhere = scratch.path() / "elsewhere";
    std::filesystem::path plan = app / "EAXA-EAXB.PLN";
    ProgramFolder() {
        std::filesystem::create_directory(app);
        std::filesystem::create_directory(elsewhere);
    }
    std::vector<std::string> AppEntries() const { return testing::Entries(app); }
};

// A listing of `count` points from EAXA to EAXB: about 75 bytes of plan per point.
inline Text LargeRoute(std::size_t count) {
    Text listing = PointLine(u"EAXA") + u"\r\n";
    for (std::size_t i = 2; i < count; ++i) {
        listing += PointLine(u"P" + FormatWhole(static_cast<std::int64_t>(i)), u"MIDDLE") + u"\r\n";
    }
    return listing + PointLine(u"EAXB");
}

// Records what the command does to its window, in order.
class FakeHost : public ConvertHost {
public:
    struct Message {
        Text text;
        MessageIcon icon;
        Text title;
    };

    explicit FakeHost(Text text) : text_(std::move(text)) {}

    Text ReadText() override { return text_; }
    void SetText(const Text& text) override {
        text_ = text;
        events.push_back("set text");
    }
    void ShowMessage(const Text& text, MessageIcon icon, const Text& title) override {
        messages.push_back({text, icon, title});
        events.push_back("message");
    }

    const Text& text() const { return text_; }

    std::vector<Message> messages;
    std::vector<std::string> events;

private:
    Text text_;
};

}  // namespace dravik::testing
