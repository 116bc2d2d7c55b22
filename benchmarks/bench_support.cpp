#include "bench_support.h"

#include <charconv>

#include <malloc.h>

std::vector<std::string> TypedNumbers(std::int64_t count)
{
    std::vector<std::string> typed;
    typed.reserve(static_cast<std::size_t>(count));
    std::uint32_t seed = 20240611u;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (std::int64_t k = 0; k < count; ++k) {
        char text[16];
        char *end = std::to_chars(text, text + sizeof text, next() % 10000).ptr;
        const unsigned cents = next() % 100;
        *end++ = '.';
        *end++ = static_cast<char>('0' + cents / 10);
        *end++ = static_cast<char>('0' + cents % 10);
        typed.emplace_back(text, end);
    }
    return typed;
}

std::vector<double> StoreTypedNumbers(const std::vector<std::string> &typed)
{
    ReleaseSampleState();
    ResetBenchWindow();
    // Gives the nodes freed by the benchmark before back to the heap in one piece, so that the
    // new nodes lie in entry order as in a program that has only been adding, whichever
    // benchmark ran before.
    malloc_trim(0);
    InitSampleState();
    std::vector<double> values;
    values.reserve(typed.size());
    SampleState &state = gSampleState;
    for (const std::string &text : typed) {
        const double value = NumberFromText(text);
        if (!AppendSample(state.samples, value))
            break;
        AppendListingEntry(state.listingText, state.samples.count, text);
        state.runningSum += value;
        values.push_back(value);
    }
    gBenchWindow.fields[IDC_LISTING] = state.listingText;
    return values;
}

bool AppendValues(const std::vector<double> &values)
{
    for (double value : values) {
        if (!AppendSample(gSampleState.samples, value))
            return false;
    }
    return true;
}

std::string StateFault(std::int64_t count)
{
    if (gBenchWindow.messagesShown != 0)
        return "a message box was shown";
    if (gBenchWindow.callsOnOtherWindows != 0)
        return "a window operation was given another window or an unknown field";
    if (gSampleState.samples.count != count)
        return "the series holds " + std::to_string(gSampleState.samples.count) + " numbers, not " +
               std::to_string(count);
    std::int64_t linked = 0;
    const SampleNode *last = &gSampleState.samples.head;
    for (const SampleNode *node = gSampleState.samples.head.next; node != nullptr; node = node->next) {
        ++linked;
        last = node;
    }
    if (linked != count || last != gSampleState.samples.tail)
        return "the list's links do not match its count and tail";
    return {};
}

void CheckState(benchmark::State &state, std::int64_t count)
{
    const std::string fault = StateFault(count);
    if (!fault.empty())
        state.SkipWithError(fault.c_str());
}

std::string RestoreFault()
{
    std::string fault = "the state could not be put back after an iteration";
    if (gBenchWindow.messagesShown != 0)
        fault += ": the command showed a message box";
    return fault;
}

std::size_t WriteListingPlain(char *out, char *end, const std::vector<double> &values,
                              std::int64_t leftOutPosition)
{
    char *at = out;
    std::int32_t position = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (static_cast<std::int64_t>(k) + 1 == leftOutPosition)
            continue;
        *at++ = '(';
        at = std::to_chars(at, end, ++position).ptr;
        *at++ = ')';
        at = std::to_chars(at, end, values[k], std::chars_format::fixed, 6).ptr;
        // Every value here is finite, so its rendering has a point to trim back to.
        while (at[-1] == '0')
            --at;
        if (at[-1] == '.')
            --at;
        *at++ = ';';
    }
    return static_cast<std::size_t>(at - out);
}
