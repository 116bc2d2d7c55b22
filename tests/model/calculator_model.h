// A reference model of the calculator, written from its rules rather than from the
// core: the stored numbers in a vector, the running sum kept the same incremental way
// (a deleted number is subtracted, never re-added), the listing built by its own
// rules, and the fields and message boxes the window should show.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "reference_texts.h"

namespace model {

// Control identifiers of the fields the commands read and write.
enum Field : int {
    kInputField = 6,
    kReportField = 7,
    kListingField = 8,
    kPositionField = 5,
};

enum class Outcome {
    Added,
    InvalidInput,
    StoreFailed,
    Deleted,
    NoData,
    NoSuchNumber,
    DeleteOutOfMemory,
    Reported,
    ReportOutOfMemory,
    Cleared,
};
constexpr int kOutcomes = static_cast<int>(Outcome::Cleared) + 1;

struct Message {
    std::string text;
    std::string caption;
    unsigned flags;
};

constexpr unsigned kInformationIcon = 0x40;
constexpr unsigned kErrorIcon = 0x10;

inline Message InvalidInputMessage() { return {"对不起，您的输入不合法！", "提示", kInformationIcon}; }
inline Message StoreFailedMessage() { return {"向链表中加入数据失败！", "致命错误", kErrorIcon}; }
inline Message NoDataMessage() { return {"请先输入数据！", "提示", kInformationIcon}; }
inline Message NoSuchNumberMessage() { return {"没有这个数！", "错误信息", kErrorIcon}; }
inline Message OutOfMemoryMessage() { return {"内存不足，操作没有完成！", "致命错误", kErrorIcon}; }

// The position field read as the window reads an unsigned number: digits after any
// leading spaces, 0 for anything else or above 4294967295; then taken as a signed
// 32-bit number, so values above 2147483647 are negative.
inline std::int64_t PositionFromField(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.empty() || !reference::AllDigits(text))
        return 0;
    std::uint64_t value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    return value > 0x7FFFFFFFu ? static_cast<std::int64_t>(value) - 0x100000000 : static_cast<std::int64_t>(value);
}

class Calculator {
public:
    std::map<int, std::string> fields;
    std::vector<Message> messages;  // shown by the last command
    std::vector<double> values;
    double runningSum = 0.0;
    std::string listing;

    std::string &FieldText(int id) { return fields[id]; }

    // Each command is told whether the one allocation made to fail during it failed.
    Outcome Add(bool allocationFailed)
    {
        messages.clear();
        // The field gives at most 1023 bytes.
        const std::string typed = FieldText(kInputField).substr(0, 1023).c_str();
        if (!reference::IsNumberText(typed))
            return Show(InvalidInputMessage(), Outcome::InvalidInput);
        if (allocationFailed)
            return Show(StoreFailedMessage(), Outcome::StoreFailed);
        const double value = reference::NumberFromText(typed);
        values.push_back(value);
        runningSum += value;
        listing += "(" + std::to_string(values.size()) + ")" + typed + ";";
        FieldText(kInputField) = "";
        FieldText(kListingField) = listing;
        return Outcome::Added;
    }

    Outcome Delete(bool allocationFailed)
    {
        messages.clear();
        if (values.empty())
            return Show(NoDataMessage(), Outcome::NoData);
        const std::int64_t position = PositionFromField(FieldText(kPositionField));
        if (position < 1 || position > static_cast<std::int64_t>(values.size()))
            return Show(NoSuchNumberMessage(), Outcome::NoSuchNumber);
        if (allocationFailed)
            return Show(OutOfMemoryMessage(), Outcome::DeleteOutOfMemory);
        runningSum -= values[static_cast<std::size_t>(position - 1)];
        values.erase(values.begin() + (position - 1));
        listing.clear();
        for (std::size_t at = 0; at < values.size(); ++at)
            listing += "(" + std::to_string(at + 1) + ")" + reference::Compact(values[at]) + ";";
        FieldText(kListingField) = listing;
        return Outcome::Deleted;
    }

    Outcome Report(bool allocationFailed)
    {
        messages.clear();
        if (values.empty())
            return Show(NoDataMessage(), Outcome::NoData);
        if (allocationFailed)
            return Show(OutOfMemoryMessage(), Outcome::ReportOutOfMemory);
        const double count = static_cast<double>(values.size());
        const double mean = runningSum / count;
        double squaredDeviations = 0.0;
        for (double value : values)
            squaredDeviations += (value - mean) * (value - mean);
        const double variance = squaredDeviations / count;
        const double standardDeviation = std::sqrt(variance);

        const char *format = "和　　=%.6f\r\n平均数=%.6f\r\n偏差和=%.6f\r\n标准差=%.6f\r\n方差　=%.6f";
        std::string report(static_cast<std::size_t>(std::snprintf(nullptr, 0, format, runningSum, mean,
                                                                  squaredDeviations, standardDeviation, variance)),
                           '\0');
        std::snprintf(report.data(), report.size() + 1, format, runningSum, mean, squaredDeviations,
                      standardDeviation, variance);
        FieldText(kReportField) = report;
        return Outcome::Reported;
    }

    Outcome Clear()
    {
        messages.clear();
        values.clear();
        runningSum = 0.0;
        listing.clear();
        FieldText(kReportField) = "";
        FieldText(kListingField) = "";
        return Outcome::Cleared;
    }

private:
    Outcome Show(Message message, Outcome outcome)
    {
        messages.push_back(std::move(message));
        return outcome;
    }
};

}  // namespace model
