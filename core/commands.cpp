#include "commands.h"

#include <cmath>
#include <new>

namespace {

// GetDlgItemTextA copies at most this many bytes less one, then a zero byte.
constexpr int kInputBufferSize = 1024;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsValidNumberText(const char *text)
{
    int points = 0;
    int digitsSincePoint = 0;
    int k = 0;
    for (;; ++k) {
        const char c = text[k];
        const bool isSign = c == '-';
        if (!IsDigit(c) && c != '.' && !isSign)
            break;
        if (isSign && k > 0)
            return false;
        if (points > 1)
            break;
        if (c == '.') {
            ++points;
            digitsSincePoint = 0;
        } else if (IsDigit(c)) {
            ++digitsSincePoint;
        }
    }
    return text[k] == '\0' && digitsSincePoint != 0;
}

FixedText CompactNumberText(double value)
{
    FixedText text = FormatFixed(value);
    if (!std::isfinite(value))
        return text;  // "inf" and "nan" have no point and nothing to trim
    while (text.chars[text.length - 1] == '0')
        --text.length;
    if (text.chars[text.length - 1] == '.')
        --text.length;
    return text;
}

std::string RebuildListing(const SampleList &samples, int32_t leftOutPosition)
{
    std::string listing;
    int32_t position = 0;
    int32_t stored = 0;
    for (const SampleNode *node = samples.head.next; node != nullptr; node = node->next) {
        if (++stored == leftOutPosition)
            continue;
        AppendListingEntry(listing, ++position, CompactNumberText(node->value).view());
    }
    return listing;
}

std::string ReportText(double sum, double mean, double squaredDeviations,
                       double standardDeviation, double variance)
{
    struct Line {
        const char *label;
        double figure;
    };
    const Line lines[] = {
        {"和　　=", sum},
        {"平均数=", mean},
        {"偏差和=", squaredDeviations},
        {"标准差=", standardDeviation},
        {"方差　=", variance},
    };

    std::string report;
    for (const Line &line : lines) {
        if (!report.empty())
            report += "\r\n";
        report += line.label;
        report += FormatFixed(line.figure).view();
    }
    return report;
}

void AddNumber(HWND window)
{
    char text[kInputBufferSize];
    text[0] = '\0';
    GetDlgItemTextA(window, IDC_INPUT, text, kInputBufferSize);
    if (!IsValidNumberText(text)) {
        ShowMessage(window, Message::InvalidInput);
        return;
    }
    const double value = NumberFromText(text);

    SampleState &state = gSampleState;
    const std::string_view typed(text);
    // The room for the entry is made before the number is stored, so that running out of
    // memory leaves everything as it was; appending within that room cannot fail.
    try {
        state.listingText.reserve(state.listingText.size() + kListingEntryFrame + typed.size());
    } catch (const std::bad_alloc &) {
        ShowMessage(window, Message::StoreFailed);
        return;
    }
    if (!AppendSample(state.samples, value)) {
        ShowMessage(window, Message::StoreFailed);
        return;
    }
    AppendListingEntry(state.listingText, state.samples.count, typed);
    state.runningSum += value;
    SetDlgItemTextA(window, IDC_INPUT, "");
    SetDlgItemTextA(window, IDC_LISTING, state.listingText.c_str());
}

void ComputeReport(HWND window)
{
    const SampleState &state = gSampleState;
    const int32_t count = state.samples.count;
    if (count == 0) {
        ShowMessage(window, Message::NoData);
        return;
    }
    const double mean = state.runningSum / count;
    double squaredDeviations = 0.0;
    for (const SampleNode *node = state.samples.head.next; node != nullptr; node = node->next) {
        const double deviation = node->value - mean;
        squaredDeviations += deviation * deviation;
    }
    const double variance = squaredDeviations / count;
    const double standardDeviation = std::sqrt(variance);

    std::string report;
    try {
        report = ReportText(state.runningSum, mean, squaredDeviations, standardDeviation, variance);
    } catch (const std::bad_alloc &) {
        ShowMessage(window, Message::OutOfMemory);
        return;
    }
    SetDlgItemTextA(window, IDC_REPORT, report.c_str());
}

void DeleteNumber(HWND window)
{
    SampleState &state = gSampleState;
    if (state.samples.count == 0) {
        ShowMessage(window, Message::NoData);
        return;
    }
    // Read unsigned, compared signed: a typed value above 2147483647 counts as negative.
    const int32_t position = static_cast<int32_t>(GetDlgItemInt(window, IDC_DELETE_INDEX, nullptr, FALSE));
    if (position > state.samples.count || position <= 0) {
        ShowMessage(window, Message::NoSuchNumber);
        return;
    }

    std::string rebuilt;
    try {
        rebuilt = RebuildListing(state.samples, position);
    } catch (const std::bad_alloc &) {
        ShowMessage(window, Message::OutOfMemory);
        return;
    }
    state.runningSum -= RemoveSampleAt(state.samples, position);
    state.listingText.swap(rebuilt);
    SetDlgItemTextA(window, IDC_LISTING, state.listingText.c_str());
}
