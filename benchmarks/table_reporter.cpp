#include "table_reporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

constexpr const char kFloorSuffix[] = "_floor";
// Its floor is its own figure at the smallest size: adding must not grow with the series
// apart from the copy of the listing into its field.
constexpr const char kSameAtEverySize[] = "AddNumber_FieldNotCopied";
constexpr const char kClockFamily[] = "TimedRegion";
constexpr std::int64_t kGoalSize = 100000;
constexpr double kGoalRatio = 2.0;
// Adding at 100,000 numbers may cost a quarter more than at 10, apart from the copy, and
// still count as the same: its repetitions on a shared machine spread about that much.
constexpr double kSameTolerance = 1.25;

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Duration(double nanoseconds)
{
    char text[32];
    if (nanoseconds < 1e3)
        std::snprintf(text, sizeof text, "%.1f ns", nanoseconds);
    else if (nanoseconds < 1e6)
        std::snprintf(text, sizeof text, "%.2f us", nanoseconds / 1e3);
    else
        std::snprintf(text, sizeof text, "%.2f ms", nanoseconds / 1e6);
    return text;
}

std::string Ratio(double ratio)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    return text;
}

}  // namespace

void TableReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred) {
            errors_.push_back(run.benchmark_name() + ": " + run.error_message);
            continue;
        }
        const std::string &family = run.run_name.function_name;
        const std::int64_t size = run.run_name.args.empty() ? -1 : std::stoll(run.run_name.args);
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        int source = 0;
        if (aggregate) {
            if (run.aggregate_name == "min")
                source = 2;
            else if (run.aggregate_name == "median")
                source = 1;
            else if (run.aggregate_name != "cv")
                continue;
        }
        const std::pair<std::int64_t, std::string> ordered{run.family_index, family};
        if (std::find(families_.begin(), families_.end(), ordered) == families_.end()) {
            families_.push_back(ordered);
            std::sort(families_.begin(), families_.end());
        }
        if (size >= 0 && std::find(sizes_.begin(), sizes_.end(), size) == sizes_.end()) {
            sizes_.push_back(size);
            std::sort(sizes_.begin(), sizes_.end());
        }
        Figure &figure = figures_[{family, size}];
        if (aggregate && run.aggregate_name == "cv") {
            figure.spreadPercent = run.real_accumulated_time * 100.0;
            continue;
        }
        if (source < figure.source)
            continue;
        figure.nanoseconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        figure.source = source;
        figure.manualTime = !run.run_name.time_type.empty();
    }
}

const TableReporter::Figure *TableReporter::Find(const std::string &family, std::int64_t size) const
{
    const auto found = figures_.find({family, size});
    return found == figures_.end() ? nullptr : &found->second;
}

void TableReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    bool anySpread = false;
    bool fastest = false;
    for (const auto &entry : figures_) {
        anySpread = anySpread || entry.second.spreadPercent >= 0.0;
        fastest = fastest || entry.second.source == 2;
    }
    if (fastest)
        out << "Each figure the fastest of its repetitions; spread: their coefficient of variation.\n";

    char line[256];
    std::snprintf(line, sizeof line, "%-26s %7s %12s %12s %7s%s\n", "benchmark", "N", "time/op", "floor",
                  "ratio", anySpread ? "  spread" : "");
    out << line;

    struct Goal {
        std::string family;
        double ratio;
    };
    std::vector<Goal> goals;
    for (const auto &[order, family] : families_) {
        if (EndsWith(family, kFloorSuffix) || family == kClockFamily)
            continue;
        for (std::int64_t size : sizes_) {
            const Figure *figure = Find(family, size);
            if (figure == nullptr)
                continue;
            const Figure *floor = family == kSameAtEverySize ? Find(family, sizes_.front())
                                                             : Find(family + kFloorSuffix, size);
            std::string floorText = "-";
            std::string ratioText = "-";
            if (floor != nullptr && floor->nanoseconds > 0.0) {
                const double ratio = figure->nanoseconds / floor->nanoseconds;
                floorText = Duration(floor->nanoseconds);
                ratioText = Ratio(ratio);
                if (size == kGoalSize)
                    goals.push_back({family, ratio});
            }
            std::string spread;
            if (figure->spreadPercent >= 0.0) {
                char text[32];
                std::snprintf(text, sizeof text, "  %5.1f%%", figure->spreadPercent);
                spread = text;
            }
            std::snprintf(line, sizeof line, "%-26s %7lld %11s%s %12s %7s%s\n", family.c_str(),
                          static_cast<long long>(size), Duration(figure->nanoseconds).c_str(),
                          figure->manualTime ? "*" : " ", floorText.c_str(), ratioText.c_str(),
                          spread.c_str());
            out << line;
        }
    }

    if (const Figure *clock = Find(kClockFamily, -1)) {
        out << "\n* timed one call at a time, the state put back untimed after each;\n"
            << "  includes the clock's own " << Duration(clock->nanoseconds) << " per call.\n";
    }
    if (!goals.empty()) {
        out << "\nAt " << kGoalSize << " numbers:\n";
        for (const Goal &goal : goals) {
            if (goal.family == kSameAtEverySize) {
                out << "  " << goal.family << ": " << Ratio(goal.ratio) << " times its cost at "
                    << sizes_.front()
                    << (goal.ratio <= kSameTolerance ? " - the same, goal met\n"
                                                     : " - grows with the series, goal MISSED\n");
            } else {
                out << "  " << goal.family << ": " << Ratio(goal.ratio) << "x its floor"
                    << (goal.ratio <= kGoalRatio ? " - goal met\n" : " - over 2x, goal MISSED\n");
            }
        }
    }
    for (const std::string &error : errors_)
        GetErrorStream() << "error: " << error << '\n';
}
