// Each test starts the calculator afresh on a fake main window and works it through
// the commands, as the window's buttons would.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "commands.h"
#include "fake_window.h"

// Everything a command may change, so that "nothing changed" can be checked whole.
struct CalculatorSnapshot {
    std::map<int, std::string> fields;
    std::size_t messagesShown;
    std::vector<double> values;
    std::uint64_t runningSumBits;
    std::string listingText;

    bool operator==(const CalculatorSnapshot &) const = default;
};

inline std::vector<double> StoredValues(const SampleList &list)
{
    std::vector<double> values;
    for (const SampleNode *node = list.head.next; node != nullptr; node = node->next)
        values.push_back(node->value);
    return values;
}

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakeWindow();
        InitSampleState();
    }

    void TearDown() override { ReleaseSampleState(); }

    static HWND Window() { return FakeMainWindow(); }

    static std::string &Field(int id) { return gFakeWindow.fields[id]; }

    static void Add(const std::string &typed)
    {
        Field(IDC_INPUT) = typed;
        AddNumber(Window());
    }

    static void AddAll(std::initializer_list<const char *> typed)
    {
        for (const char *text : typed)
            Add(text);
    }

    static void Delete(const std::string &position)
    {
        Field(IDC_DELETE_INDEX) = position;
        DeleteNumber(Window());
    }

    static const std::vector<ShownMessage> &Messages() { return gFakeWindow.messages; }

    static CalculatorSnapshot Snapshot()
    {
        return {gFakeWindow.fields, gFakeWindow.messages.size(), StoredValues(gSampleState.samples),
                std::bit_cast<std::uint64_t>(gSampleState.runningSum), gSampleState.listingText};
    }
};
