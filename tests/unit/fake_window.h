// A stand-in for the main window: its fields by control identifier, and every message
// box shown. The core's window operations land here in the unit tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "win_api.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT flags;
};

struct FakeWindow {
    std::map<int, std::string> fields;
    std::vector<ShownMessage> messages;
    int callsOnOtherWindows = 0;  // operations given any handle but the main window's
};

extern FakeWindow gFakeWindow;

// The handle the tests pass as the main window.
HWND FakeMainWindow();
void ResetFakeWindow();
