// Shared by the conversion and window tests: the documented example route and a fake window; the
// folders come from folders.h.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "conversion/convert_command.h"
#include "conversion/route_listing.h"
#include "testing/example.h"
#include "testing/folders.h"
#include "text/text.h"

namespace dravik::testkit {

// The example listing as the box hands it over: UTF-16, each line break CR LF, no break after the last
// line (testdata/example-listing.txt, a UTF-8 text file).
inline Text ExampleListing() {
    Text listing;
    const auto& bytes = generated::kExampleListingUtf8;
    for (std::size_t i = 0; i < std::size(bytes); ++i) {
        char32_t unit = bytes[i];
        if (unit >= 0xE0) {  // three bytes: the file holds nothing beyond U+FFFF
            unit = ((unit & 0x0F) << 12) | ((bytes[i + 1] & 0x3FU) << 6) | (bytes[i + 2] & 0x3FU);
            i += 2;
        } else if (unit >= 0xC0) {
            unit = ((unit & 0x1F) << 6) | (bytes[i + 1] & 0x3FU);
            i += 1;
        }
        if (unit == u'\n') {
            listing += u"\r\n";
        } else if (unit != u'\r') {
            listing += static_cast<char16_t>(unit);
        }
    }
    while (listing.ends_with(u"\r\n")) {
        listing.erase(listing.size() - 2);
    }
    return listing;
}

inline const Text kExampleListing = ExampleListing();

// The example plan file, byte for byte (testdata/EAXA-EAXB.PLN).
inline std::string ExampleFileBytes() {
    const auto& bytes = generated::kExamplePlanBytes;
    return {std::begin(bytes), std::end(bytes)};
}

// Its lines, without their CR LF.
inline std::vector<std::string> ExampleLines() {
    std::vector<std::string> lines;
    const std::string bytes = ExampleFileBytes();
    for (std::size_t start = 0, end = 0; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

// A listing of these lines, each ended by CR LF as the box hands it over.
inline Text Lines(std::initializer_list<TextView> lines) {
    Text listing;
    for (const TextView line : lines) {
        listing += Text(line) + u"\r\n";
    }
    return listing;
}

// A point line with the given identifier column (padded to 8) and name.
inline Text PointLine(TextView id, TextView name = u"") {
    Text line(id);
    line.resize(8, u' ');
    return line + u"         0      0   N55\u00B005'03.00\" E012\u00B039'22.00\" " + Text(name);
}

// The route's points are views into `listing`, which must outlive it.
inline Route RouteOf(const Text& listing) {
    return MakeRoute(SelectPoints(listing));
}
Route RouteOf(Text&& listing) = delete;

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

}  // namespace dravik::testkit
