// Instead of a line per run, one table at the end: each benchmark at each size, its time
// per operation, the floor timed beside it and the ratio of the two, then the goals.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

    bool HadErrors() const { return !errors_.empty(); }

private:
    struct Figure {
        double nanoseconds = 0.0;
        double spreadPercent = -1.0;  // coefficient of variation over repetitions, if any
        int source = 0;               // 0: a single run, 1: the median of repetitions, 2: the fastest
        bool manualTime = false;
    };
    using Key = std::pair<std::string, std::int64_t>;  // family, size (-1 when it has none)

    const Figure *Find(const std::string &family, std::int64_t size) const;

    std::vector<std::pair<std::int64_t, std::string>> families_;  // by order of registration
    std::vector<std::int64_t> sizes_;    // every size seen, ascending
    std::map<Key, Figure> figures_;
    std::vector<std::string> errors_;
};
