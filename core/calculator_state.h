// The one state of the calculator, the texts the commands share, and the clear command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sample_list.h"
#include "win_api.h"

// Child controls of the main window, addressed by these identifiers.
enum : int {
    IDC_NEXT = 1,
    IDC_CLEAR = 2,
    IDC_COMPUTE = 3,
    IDC_DELETE = 4,
    IDC_DELETE_INDEX = 5,
    IDC_INPUT = 6,
    IDC_REPORT = 7,
    IDC_LISTING = 8,
    IDC_DELETE_LABEL = 9,
};

struct SampleState {
    SampleList samples;
    double runningSum;        // kept incrementally, never re-added from the list
    std::string listingText;  // the listing entries, code page 936
};

extern SampleState gSampleState;

enum class Message {
    InvalidInput,
    StoreFailed,
    NoData,
    NoSuchNumber,
    OutOfMemory,
};

struct MessageText {
    const char *text;
    const char *caption;
    UINT icon;
};

const MessageText &MessageTextOf(Message message);

// A modal box owned by the main window, with its OK button and icon.
void ShowMessage(HWND window, Message message);

// The bytes of an entry besides its number text, at the most: "(", ten digits, ")" and ";".
constexpr std::size_t kListingEntryFrame = 13;

// Appends one listing entry, "(" position ")" number text ";", to listing. Throws std::bad_alloc, but not when listing has room
// for kListingEntryFrame bytes and the number text.
void AppendListingEntry(std::string &listing, int32_t position, std::string_view numberText);

void InitSampleState();
void ReleaseSampleState();

void ClearAll(HWND window);
