// How fast and how lean a conversion is, on the documented example, on the largest listing Dravik
// accepts and on a 20 MB paste without a single route point. After the runs it checks the targets:
//   - the whole command on the largest listing within 10 x the floor (copying the listing once plus
//     writing and syncing the finished file once);
//   - the selection scanning lines that are no route points at 1 GB/s of UTF-16 text or more;
//   - the whole command on the largest listing allocating at most 3 x the listing's size at its peak;
//   - the window's hand-over of the largest listing (WithCrLfBreaks) at 1 GB/s of UTF-16 text or more
//     (the largest listing is handed over in milliseconds);
//   - the whole command on a 20 MB paste of damaged route point lines within the 2 s a paste may take;
//   - the whole command on a departure name of a million accented letters within 3 x a plain one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include <fcntl.h>
#include <unistd.h>

#include "bench/allocation_counter.h"
#include "conversion/convert_command.h"
#include "conversion/flight_plan.h"
#include "conversion/plan_file.h"
#include "conversion/route_listing.h"
#include "testing/test_support.h"
#include "text/line_breaks.h"

namespace dravik {
namespace {

using testkit::FakeHost;
using testkit::PointLine;
using testkit::ScratchFolder;

// 4000 route points among 28,767 other lines: 32,767 lines of about 70 characters.
Text LargestListing() {
    const Text other = u"         remark: cross the airway at or above the level given here  ";
    Text listing;
    std::size_t others = 0;
    for (std::size_t point = 0; point < 4000; ++point) {
        listing +=
            PointLine(u"P" + FormatWhole(static_cast<std::int64_t>(point)), u"WAYPOINT NAME") + u"\r\n";
        const std::size_t due = (point + 1) * 28767 / 4000;
        for (; others < due; ++others) {
            listing += other + u"\r\n";
        }
    }
    return listing;
}

// 20 MB of UTF-16 text in lines of 80 characters, none of them a route point.
Text PasteWithoutPoints() {
    const Text line = u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks  ---------\r\n";
    Text listing;
    listing.reserve(10'000'000);
    while (listing.size() + line.size() <= 10'000'000) {
        listing += line;
    }
    return listing;
}

// 20 MB of UTF-16 text in route point lines whose spaces were collapsed on the way: every line looks like
// a route point and none is one, so the command looks for the reason in each.
Text PasteOfDamagedLines() {
    const Text line = u"EAXA 0 0 N55\u00B005'03.00\" E012\u00B039'22.00\" NORTH FIELD\r\n";
    Text listing;
    listing.reserve(10'000'000);
    while (listing.size() + line.size() <= 10'000'000) {
        listing += line;
    }
    return listing;
}

// Two route points whose departure name is a million letters, accented or plain: re-casing the name asks
// the system's case tables for every accented one.
Text LongName(char16_t letter) {
    return PointLine(u"EAXA", Text(1'000'000, letter)) + u"\r\n" + PointLine(u"EAXB");
}

struct Listings {
    Text example = testkit::kExampleListing;
    Text largest = LargestListing();
    Text noPoints = PasteWithoutPoints();
    Text damaged = PasteOfDamagedLines();
    Text accentedName = LongName(u'\u00C9');
    Text plainName = LongName(u'E');
};

const Listings& AllListings() {
    static const Listings listings;
    return listings;
}

const Text& ListingNamed(int which) {
    const Listings& all = AllListings();
    const Text* listings[] = {&all.example, &all.largest,      &all.noPoints,
                              &all.damaged, &all.accentedName, &all.plainName};
    return *listings[which];
}

void SetBytes(benchmark::State& state, const Text& listing) {
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(listing.size() * sizeof(char16_t)));
}

void BM_Select(benchmark::State& state) {
    const Text& listing = ListingNamed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(SelectPoints(listing));
    }
    SetBytes(state, listing);
}

void BM_BuildLines(benchmark::State& state) {
    const Text& listing = ListingNamed(static_cast<int>(state.range(0)));
    const std::vector<TextView> points = SelectPoints(listing);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlanLines(MakeRoute(points)));
    }
    SetBytes(state, listing);
}

// A host that hands over a fresh copy of the listing, as a window does.
class BenchHost : public ConvertHost {
public:
    explicit BenchHost(const Text& listing) : listing_(listing) {}
    Text ReadText() override { return listing_; }
    void SetText(const Text&) override {}
    void ShowMessage(const Text&, MessageIcon, const Text&) override {}

private:
    const Text& listing_;
};

void BM_Command(benchmark::State& state) {
    const Text& listing = ListingNamed(static_cast<int>(state.range(0)));
    ScratchFolder folder;
    BenchHost host(listing);
    for (auto _ : state) {
        cmdR_Click(host, folder.path());
    }
    SetBytes(state, listing);
}

// What no conversion can beat: take the text once and put the finished file on disk once.
void BM_Floor(benchmark::State& state) {
    const Text& listing = ListingNamed(static_cast<int>(state.range(0)));
    const std::string bytes = *EncodePlan(PlanLines(MakeRoute(SelectPoints(listing))));
    ScratchFolder folder;
    const std::string path = (folder.path() / "floor.PLN").string();
    for (auto _ : state) {
        Text copy = listing;
        benchmark::DoNotOptimize(copy.data());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::fsync(fd) != 0) {
            state.SkipWithError("cannot write the floor file");
        }
        ::close(fd);
    }
    SetBytes(state, listing);
}

// The text box's hand-over: every line break made CR LF. The Windows EDIT already holds CR LF; Qt holds
// U+2029 between paragraphs.
Text AsTheBoxHoldsIt(const Text& listing, bool qt) {
    if (!qt) {
        return listing;
    }
    Text box;
    for (const TextView line : SplitLines(listing)) {
        box += line;
        box += u'\u2029';
    }
    return box;
}

void BM_HandOver(benchmark::State& state) {
    const Text box = AsTheBoxHoldsIt(AllListings().largest, state.range(0) == 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WithCrLfBreaks(box));
    }
    SetBytes(state, box);
}

// What the hand-over cannot beat: one copy of the same text.
void BM_HandOverFloor(benchmark::State& state) {
    const Text& box = AllListings().largest;
    for (auto _ : state) {
        Text copy(box);
        benchmark::DoNotOptimize(copy.data());
    }
    SetBytes(state, box);
}

BENCHMARK(BM_Select)->Arg(0)->Arg(1)->Arg(2)->ArgName("listing");
BENCHMARK(BM_HandOver)->Arg(0)->Arg(1)->ArgName("qt");
BENCHMARK(BM_HandOverFloor);
BENCHMARK(BM_BuildLines)->Arg(0)->Arg(1)->ArgName("listing");
BENCHMARK(BM_Command)->Arg(0)->Arg(1)->Arg(3)->Arg(4)->Arg(5)->ArgName("listing")->UseRealTime();
BENCHMARK(BM_Floor)->Arg(0)->Arg(1)->ArgName("listing")->UseRealTime();

// Keeps each run's figures so the targets can be checked after the console has shown them.
class TargetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e9;
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end()) {
                bytesPerSecond[run.benchmark_name()] = bytes->second.value;
            }
        }
    }
    std::map<std::string, double> seconds;
    std::map<std::string, double> bytesPerSecond;
};

std::size_t PeakOfOneCommand(const Text& listing) {
    ScratchFolder folder;
    BenchHost host(listing);
    const std::size_t before = ResetAllocationPeak();
    cmdR_Click(host, folder.path());
    return AllocationPeak() - before;
}

}  // namespace
}  // namespace dravik

int main(int argc, char** argv) {
    using namespace dravik;
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const Text& largest = AllListings().largest;
    const double listingBytes = static_cast<double>(largest.size() * sizeof(char16_t));
    const double command = reporter.seconds["BM_Command/listing:1/real_time"];
    const double damaged = reporter.seconds["BM_Command/listing:3/real_time"];
    const double accented = reporter.seconds["BM_Command/listing:4/real_time"];
    const double plain = reporter.seconds["BM_Command/listing:5/real_time"];
    const double floor = reporter.seconds["BM_Floor/listing:1/real_time"];
    const double scan = reporter.bytesPerSecond["BM_Select/listing:2"];
    const double handOver =
        std::min(reporter.bytesPerSecond["BM_HandOver/qt:0"], reporter.bytesPerSecond["BM_HandOver/qt:1"]);
    const double copy = reporter.bytesPerSecond["BM_HandOverFloor"];
    const double peak = static_cast<double>(PeakOfOneCommand(largest));
    if (command == 0 || floor == 0 || scan == 0 || handOver == 0 || damaged == 0 || plain == 0) {
        std::printf("targets not checked: run all benchmarks (no --benchmark_filter)\n");
        return 0;
    }
    const bool fast = command <= 10 * floor;
    const bool scans = scan >= 1e9;
    const bool lean = peak <= 3 * listingBytes;
    const bool handsOver = handOver >= 1e9;
    const bool answers = damaged <= 2.0;
    const bool recases = accented <= 3 * plain;
    std::printf("\nlargest listing: %zu lines, %.2f million characters (%.1f MB of UTF-16)\n",
                SplitLines(largest).size(), static_cast<double>(largest.size()) / 1e6, listingBytes / 1e6);
    std::printf("whole command %.2f ms, floor %.2f ms: %.1f x the floor (target <= 10): %s\n", command * 1e3,
                floor * 1e3, command / floor, fast ? "met" : "MISSED");
    std::printf("selection over lines without route points: %.2f GB/s (target >= 1): %s\n", scan / 1e9,
                scans ? "met" : "MISSED");
    std::printf("peak allocation of the whole command: %.1f MB, %.2f x the listing (target <= 3): %s\n",
                peak / 1e6, peak / listingBytes, lean ? "met" : "MISSED");
    std::printf(
        "the window's hand-over, slower of the two: %.2f GB/s, a plain copy %.2f GB/s (target >= 1): %s\n",
        handOver / 1e9, copy / 1e9, handsOver ? "met" : "MISSED");
    std::printf("whole command on 20 MB of damaged route point lines: %.0f ms (target <= 2000): %s\n",
                damaged * 1e3, answers ? "met" : "MISSED");
    std::printf(
        "departure name of a million accented letters: %.0f ms, plain %.0f ms: %.1f x (target <= 3): %s\n",
        accented * 1e3, plain * 1e3, accented / plain, recases ? "met" : "MISSED");
    return fast && scans && lean && handsOver && answers && recases ? 0 : 1;
}
