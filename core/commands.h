// The four commands the main window's buttons run, and the rules they are made of.
#pragma once

#include <cstdint>
#include <string>

#include "calculator_state.h"
#include "number_text.h"

// Accepts an optional leading "-", then either digits, or digits (maybe none), one
// point and digits. Judged byte by byte up to the terminating zero byte.
bool IsValidNumberText(const char *text);

// The fixed rendering of value without trailing zeros after the point, nor a bare point.
FixedText CompactNumberText(double value);

// The listing of the stored numbers in compact form, renumbered from 1, leaving out the
// number at leftOutPosition (0 leaves out none). Throws std::bad_alloc.
std::string RebuildListing(const SampleList &samples, int32_t leftOutPosition);

// The five-line report of sum, mean, sum of squared deviations, standard deviation and
// variance. Throws std::bad_alloc.
std::string ReportText(double sum, double mean, double squaredDeviations,
                       double standardDeviation, double variance);

void AddNumber(HWND window);
void ComputeReport(HWND window);
void DeleteNumber(HWND window);
