// Each command of the calculator core timed with 10, 1,000 and 100,000 numbers stored, and
// beside it (named with "_floor") the least that the same work costs on this machine.
//
// The state stays the same size across iterations: what a command changes is put back
// after it, untimed (TimeEachRun), by direct work on the state, so that the put-back is
// cheap and the next iteration starts from the same series with the same node addresses.
// The floors that go beside those commands are timed the same way.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <new>
#include <string_view>

#include "bench_support.h"

namespace {

HWND Window()
{
    return BenchMainWindow();
}

// Typed into the input field for every AddNumber; the same text at every size.
constexpr const char kTypedNumber[] = "4096.25";

void CheckListing(benchmark::State &state, std::string_view floorWrote, std::string_view commandWrote)
{
    if (floorWrote != commandWrote)
        state.SkipWithError("the floor does not write the listing the command writes");
}

// --- AddNumber ---------------------------------------------------------------------------

void AddNumberTimed(benchmark::State &state, bool copyListing)
{
    const std::int64_t count = state.range(0);
    StoreTypedNumbers(TypedNumbers(count));
    gBenchWindow.copyListing = copyListing;
    gBenchWindow.fields[IDC_INPUT] = kTypedNumber;

    SampleState &sample = gSampleState;
    SampleNode *const tailBefore = sample.samples.tail;
    const double sumBefore = sample.runningSum;
    const std::size_t listingBefore = sample.listingText.size();
    TimeEachRun(
        state, [] { ::AddNumber(Window()); },
        [&] {
            if (sample.samples.count != count + 1)
                return false;
            SampleNode *added = sample.samples.tail;
            tailBefore->next = nullptr;
            sample.samples.tail = tailBefore;
            --sample.samples.count;
            delete added;
            sample.runningSum = sumBefore;
            sample.listingText.resize(listingBefore);
            gBenchWindow.fields[IDC_INPUT] = kTypedNumber;
            return true;
        });
    CheckState(state, count);
    std::string expected = sample.listingText;
    AppendListingEntry(expected, static_cast<std::int32_t>(count) + 1, kTypedNumber);
    if (copyListing && gBenchWindow.fields[IDC_LISTING] != expected)
        state.SkipWithError("the listing field does not show the listing with the new number");
    ReleaseSampleState();
}

void AddNumber(benchmark::State &state)
{
    AddNumberTimed(state, true);
}

// The same, but the fake listing field does not copy the listing: what adding costs apart
// from that copy, which should not grow with the series.
void AddNumber_FieldNotCopied(benchmark::State &state)
{
    AddNumberTimed(state, false);
}

// The copy of the listing, with the new entry, into the listing field, between the same two
// strings AddNumber copies between: what its SetDlgItemTextA of the listing costs the fake.
void AddNumber_floor(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    StoreTypedNumbers(TypedNumbers(count));
    std::string &listing = gSampleState.listingText;
    AppendListingEntry(listing, static_cast<std::int32_t>(count) + 1, kTypedNumber);
    std::string &field = gBenchWindow.fields[IDC_LISTING];
    TimeEachRun(
        state,
        [&] {
            field.assign(listing.c_str());
            benchmark::DoNotOptimize(field.data());
        },
        [] { return true; });
    ReleaseSampleState();
}

// --- ComputeReport -----------------------------------------------------------------------

void ComputeReport(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    StoreTypedNumbers(TypedNumbers(count));
    for (auto _ : state)
        ::ComputeReport(Window());
    CheckState(state, count);
    if (gBenchWindow.fields[IDC_REPORT].empty())
        state.SkipWithError("no report was written");
    ReleaseSampleState();
}

// Not inlined, so that the sum stays in a register: inlined into the benchmark loop, the compiler
// kept it on the stack, which doubled the time of the pass.
[[gnu::noinline]] double SquaredDeviations(const std::vector<double> &values, double mean)
{
    double sum = 0.0;
    for (double value : values) {
        const double deviation = value - mean;
        sum += deviation * deviation;
    }
    return sum;
}

// The squared deviations summed over a std::vector<double> of the same numbers in the
// same order, and the five figures rendered with std::to_chars.
void ComputeReport_floor(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    const std::vector<double> values = StoreTypedNumbers(TypedNumbers(count));
    const double sum = gSampleState.runningSum;
    benchmark::DoNotOptimize(values.data());
    char figures[5 * kFixedTextCapacity];
    double squaredDeviations = 0.0;
    for (auto _ : state) {
        benchmark::ClobberMemory();
        const double mean = sum / static_cast<double>(values.size());
        squaredDeviations = SquaredDeviations(values, mean);
        const double variance = squaredDeviations / static_cast<double>(values.size());
        char *at = figures;
        for (double figure : {sum, mean, squaredDeviations, std::sqrt(variance), variance})
            at = std::to_chars(at, figures + sizeof figures, figure, std::chars_format::fixed, 6).ptr;
        benchmark::DoNotOptimize(at);
    }
    // The command's report carries the same figure: the floor did the same sum.
    ::ComputeReport(Window());
    char expected[kFixedTextCapacity];
    char *end = std::to_chars(expected, expected + sizeof expected, squaredDeviations,
                              std::chars_format::fixed, 6).ptr;
    const std::string_view figure(expected, static_cast<std::size_t>(end - expected));
    if (gBenchWindow.fields[IDC_REPORT].find(figure) == std::string::npos)
        state.SkipWithError("the floor's sum of squared deviations differs from the report's");
    ReleaseSampleState();
}

// --- DeleteNumber ------------------------------------------------------------------------

void DeleteNumberAt(benchmark::State &state, bool last)
{
    const std::int64_t count = state.range(0);
    StoreTypedNumbers(TypedNumbers(count));
    const std::int64_t position = last ? count : 1;
    gBenchWindow.fields[IDC_DELETE_INDEX] = std::to_string(position);

    SampleState &sample = gSampleState;
    const double sumBefore = sample.runningSum;
    const double deleted = last ? sample.samples.tail->value : sample.samples.head.next->value;
    TimeEachRun(
        state, [] { ::DeleteNumber(Window()); },
        [&] {
            if (sample.samples.count != count - 1)
                return false;
            if (last) {
                if (!AppendSample(sample.samples, deleted))
                    return false;
            } else {
                SampleNode *node = new (std::nothrow) SampleNode{deleted, sample.samples.head.next};
                if (node == nullptr)
                    return false;
                sample.samples.head.next = node;
                if (sample.samples.count == 0)
                    sample.samples.tail = node;
                ++sample.samples.count;
            }
            sample.runningSum = sumBefore;
            return true;
        });
    CheckState(state, count);
    ReleaseSampleState();
}

void DeleteNumber_First(benchmark::State &state)
{
    DeleteNumberAt(state, false);
}

void DeleteNumber_Last(benchmark::State &state)
{
    DeleteNumberAt(state, true);
}

// Walking the list to the node before the deleted one, writing the listing of the rest
// with std::to_chars into a buffer that has room for it, and copying it into the field.
void DeleteFloorAt(benchmark::State &state, bool last)
{
    const std::int64_t count = state.range(0);
    const std::vector<double> values = StoreTypedNumbers(TypedNumbers(count));
    const std::int64_t position = last ? count : 1;
    const std::string commandWrote =
        ::RebuildListing(gSampleState.samples, static_cast<std::int32_t>(position));
    std::vector<char> listing(commandWrote.size() + kFixedTextCapacity + 16);
    std::string field = commandWrote;
    std::size_t length = 0;
    TimeEachRun(
        state,
        [&] {
            const SampleNode *predecessor = &gSampleState.samples.head;
            for (std::int64_t step = 1; step < position; ++step)
                predecessor = predecessor->next;
            benchmark::DoNotOptimize(predecessor);
            length = WriteListingPlain(listing.data(), listing.data() + listing.size(), values, position);
            listing[length] = '\0';
            field.assign(listing.data());
            benchmark::DoNotOptimize(field.data());
        },
        [] { return true; });
    CheckListing(state, std::string_view(listing.data(), length), commandWrote);
    ReleaseSampleState();
}

void DeleteNumber_First_floor(benchmark::State &state)
{
    DeleteFloorAt(state, false);
}

void DeleteNumber_Last_floor(benchmark::State &state)
{
    DeleteFloorAt(state, true);
}

// --- ClearAll ----------------------------------------------------------------------------

void ClearAll(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    const std::vector<double> values = StoreTypedNumbers(TypedNumbers(count));
    const double sumBefore = gSampleState.runningSum;
    TimeEachRun(
        state, [] { ::ClearAll(Window()); },
        [&] {
            if (gSampleState.samples.count != 0)
                return false;
            gSampleState.runningSum = sumBefore;
            return AppendValues(values);
        });
    CheckState(state, count);
    ReleaseSampleState();
}

// Freeing the nodes of the same list one at a time, in list order.
void ClearAll_floor(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    const std::vector<double> values = StoreTypedNumbers(TypedNumbers(count));
    SampleList &list = gSampleState.samples;
    TimeEachRun(
        state,
        [&list] {
            SampleNode *node = list.head.next;
            while (node != nullptr) {
                SampleNode *next = node->next;
                delete node;
                node = next;
            }
            InitSampleList(list);
        },
        [&values] { return AppendValues(values); });
    CheckState(state, count);
    ReleaseSampleState();
}

// --- RebuildListing ----------------------------------------------------------------------

void RebuildListing(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    StoreTypedNumbers(TypedNumbers(count));
    for (auto _ : state) {
        std::string listing = ::RebuildListing(gSampleState.samples, 0);
        benchmark::DoNotOptimize(listing.data());
    }
    CheckState(state, count);
    ReleaseSampleState();
}

// Each position and each number rendered with std::to_chars straight into one buffer that
// has room for the whole listing: the bytes written once.
void RebuildListing_floor(benchmark::State &state)
{
    const std::int64_t count = state.range(0);
    const std::vector<double> values = StoreTypedNumbers(TypedNumbers(count));
    const std::string commandWrote = ::RebuildListing(gSampleState.samples, 0);
    std::vector<char> listing(commandWrote.size() + kFixedTextCapacity + 16);
    std::size_t length = 0;
    for (auto _ : state) {
        length = WriteListingPlain(listing.data(), listing.data() + listing.size(), values, 0);
        benchmark::DoNotOptimize(listing.data());
        benchmark::ClobberMemory();
    }
    CheckListing(state, std::string_view(listing.data(), length), commandWrote);
    ReleaseSampleState();
}

// --- The timing itself -------------------------------------------------------------------

// An empty timed region of TimeEachRun: the part of every manually timed figure that is the
// clock's own.
void TimedRegion(benchmark::State &state)
{
    TimeEachRun(state, [] {}, [] { return true; });
}

double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// Every benchmark at every size, and the fastest of its repetitions beside their mean,
// median and spread: on a machine doing other work that is the figure least disturbed.
void Sizes(benchmark::internal::Benchmark *benchmark)
{
    for (std::int64_t size : kSeriesSizes)
        benchmark->Arg(size);
    benchmark->ComputeStatistics("min", Fastest);
}

}  // namespace

BENCHMARK(AddNumber)->Apply(Sizes)->UseManualTime();
BENCHMARK(AddNumber_floor)->Apply(Sizes)->UseManualTime();
BENCHMARK(AddNumber_FieldNotCopied)->Apply(Sizes)->UseManualTime();
BENCHMARK(ComputeReport)->Apply(Sizes);
BENCHMARK(ComputeReport_floor)->Apply(Sizes);
BENCHMARK(DeleteNumber_First)->Apply(Sizes)->UseManualTime();
BENCHMARK(DeleteNumber_First_floor)->Apply(Sizes)->UseManualTime();
BENCHMARK(DeleteNumber_Last)->Apply(Sizes)->UseManualTime();
BENCHMARK(DeleteNumber_Last_floor)->Apply(Sizes)->UseManualTime();
BENCHMARK(ClearAll)->Apply(Sizes)->UseManualTime();
BENCHMARK(ClearAll_floor)->Apply(Sizes)->UseManualTime();
BENCHMARK(RebuildListing)->Apply(Sizes);
BENCHMARK(RebuildListing_floor)->Apply(Sizes);
BENCHMARK(TimedRegion)->UseManualTime()->ComputeStatistics("min", Fastest);
