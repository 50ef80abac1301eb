// Shared by the conversion and window tests: the documented example route and a fake window; the
// folders come from folders.h.
#pragma once

#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "conversion/route_listing.h"
#include "testing/folders.h"
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
