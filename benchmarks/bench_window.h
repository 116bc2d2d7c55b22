// The main window the benchmarks run the commands on. Fields are kept in a flat array by
// control identifier and message boxes are only counted, so that the window's own cost is
// what a real field costs at least: a copy of the text it is given.
#pragma once

#include <string>

#include "win_api.h"

struct BenchWindow {
    std::string fields[16];  // by control identifier
    // False: the listing field keeps only the pointer it is given, to time a command without
    // the copy of the listing into its field.
    bool copyListing = true;
    const char *listingGiven = nullptr;
    int messagesShown = 0;
    int callsOnOtherWindows = 0;  // operations given a handle or identifier the window has not
};

extern BenchWindow gBenchWindow;

HWND BenchMainWindow();
void ResetBenchWindow();
