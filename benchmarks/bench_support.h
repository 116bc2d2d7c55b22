// What the benchmarks share: the numbers they store, the calculator state built from them,
// the timing of one command at a time, and the listing written the plainest way.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <time.h>

#include "bench_window.h"
#include "commands.h"

// The sizes of the series every command is timed at.
inline constexpr std::int64_t kSeriesSizes[] = {10, 1000, 100000};

// Numbers as a user types them: up to four digits, a point and two decimals. The same
// series for every size, from a fixed seed.
std::vector<std::string> TypedNumbers(std::int64_t count);

// Starts the calculator afresh and stores the typed numbers as AddNumber would, with the
// same allocations in the same order, but copies the listing into its field only once.
// The values are returned in entry order.
std::vector<double> StoreTypedNumbers(const std::vector<std::string> &typed);

// Appends the values to the list, for a state whose nodes were freed. False when a node
// could not be allocated.
bool AppendValues(const std::vector<double> &values);

// Empty when the state and the window are as a benchmark of a series of `count` numbers
// left them, or else what is wrong.
std::string StateFault(std::int64_t count);

// Ends the benchmark with an error when StateFault finds one.
void CheckState(benchmark::State &state, std::int64_t count);

// Why the state could not be put back after an iteration, as far as the window tells.
std::string RestoreFault();

// Nanoseconds on the monotonic clock that std::chrono::steady_clock reads; <chrono> itself
// does not build with the code page 936 execution character set.
inline std::int64_t MonotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Times `work` alone in each iteration, then runs `restore` (which returns false when it
// cannot bring the state back) untimed. For benchmarks registered with UseManualTime().
template <typename Work, typename Restore>
void TimeEachRun(benchmark::State &state, Work &&work, Restore &&restore)
{
    for (auto _ : state) {
        const std::int64_t start = MonotonicNanoseconds();
        work();
        benchmark::ClobberMemory();
        const std::int64_t stop = MonotonicNanoseconds();
        state.SetIterationTime(static_cast<double>(stop - start) * 1e-9);
        if (!restore()) {
            state.SkipWithError(RestoreFault().c_str());
            break;
        }
    }
}

// The listing of the values, leaving out the number at leftOutPosition (0: none), written
// with std::to_chars straight into out, which has room for it. Returns the length written.
std::size_t WriteListingPlain(char *out, char *end, const std::vector<double> &values,
                              std::int64_t leftOutPosition);
