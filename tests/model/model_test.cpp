// Random command sequences, run side by side on the core (through the fake window) and
// on the reference model; after every command each field, each message box and the
// stored state must agree. Some commands have one of their allocations fail: they must
// then change nothing and say so. A disagreement is reported with its seed and the
// shortest sequence, replayed from a fresh start, that still shows one.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calculator_model.h"
#include "commands.h"
#include "failing_allocation.h"
#include "fake_window.h"
#include "printable.h"
#include "shrink.h"

namespace {

struct Command {
    enum Kind { Add, AddAgain, Delete, DeleteAgain, Report, Clear } kind;
    std::string text;      // typed into the input or the position field first, for Add and Delete
    long failAfter = -1;   // that many allocations of the command succeed, then one fails; -1: none fails
};

std::string Describe(const Command &command)
{
    std::string said;
    switch (command.kind) {
    case Command::Add: said = "type " + Printable(command.text) + " into the input field, add"; break;
    case Command::AddAgain: said = "add again"; break;
    case Command::Delete: said = "type " + Printable(command.text) + " into the position field, delete"; break;
    case Command::DeleteAgain: said = "delete again"; break;
    case Command::Report: said = "compute the report"; break;
    case Command::Clear: said = "clear"; break;
    }
    if (command.failAfter >= 0)
        said += " (allocation " + std::to_string(command.failAfter + 1) + " of the command fails)";
    return said;
}

std::string MessageName(const std::string &text)
{
    for (const auto &[message, name] : {std::pair{model::InvalidInputMessage(), "invalid input"},
                                        std::pair{model::StoreFailedMessage(), "store failed"},
                                        std::pair{model::NoDataMessage(), "no data"},
                                        std::pair{model::NoSuchNumberMessage(), "no such number"},
                                        std::pair{model::OutOfMemoryMessage(), "out of memory"}})
        if (message.text == text)
            return name;
    return Printable(text);
}

std::string DescribeMessage(const std::string &text, const std::string &caption, UINT flags)
{
    return MessageName(text) + " / caption " + Printable(caption) + " / flags " + std::to_string(flags);
}

std::string DescribeMessages(const std::vector<std::string> &described)
{
    std::string said = "[";
    for (const std::string &message : described)
        said += (said.size() > 1 ? ", " : "") + message;
    return said + "]";
}

std::string FieldName(int id)
{
    switch (id) {
    case model::kInputField: return "input field";
    case model::kPositionField: return "position field";
    case model::kReportField: return "report field";
    case model::kListingField: return "listing field";
    default: return "field " + std::to_string(id);
    }
}

std::string Bits(double value)
{
    std::ostringstream said;
    said << reference::Fixed(value) << " (bits " << std::hex << std::bit_cast<std::uint64_t>(value) << ")";
    return said.str();
}

// Everything that differs between the core with its window and the model, after one command.
std::string Differences(model::Calculator &expected, std::size_t messagesBefore)
{
    std::ostringstream said;
    std::set<int> ids;
    for (const auto &[id, text] : expected.fields)
        ids.insert(id);
    for (const auto &[id, text] : gFakeWindow.fields)
        ids.insert(id);
    for (int id : ids) {
        const auto shown = gFakeWindow.fields.find(id);
        const std::string core = shown == gFakeWindow.fields.end() ? "" : shown->second;
        if (core != expected.FieldText(id))
            said << "  " << FieldName(id) << ": core " << Printable(core) << ", model "
                 << Printable(expected.FieldText(id)) << "\n";
    }

    const std::vector<ShownMessage> shown(gFakeWindow.messages.begin() + static_cast<long>(messagesBefore),
                                          gFakeWindow.messages.end());
    bool sameMessages = shown.size() == expected.messages.size();
    for (std::size_t at = 0; sameMessages && at < shown.size(); ++at)
        sameMessages = shown[at].text == expected.messages[at].text &&
                       shown[at].caption == expected.messages[at].caption &&
                       shown[at].flags == expected.messages[at].flags;
    if (!sameMessages) {
        std::vector<std::string> core, model;
        for (const ShownMessage &message : shown)
            core.push_back(DescribeMessage(message.text, message.caption, message.flags));
        for (const model::Message &message : expected.messages)
            model.push_back(DescribeMessage(message.text, message.caption, message.flags));
        said << "  message boxes: core " << DescribeMessages(core) << ", model " << DescribeMessages(model) << "\n";
    }
    if (gFakeWindow.callsOnOtherWindows != 0)
        said << "  " << gFakeWindow.callsOnOtherWindows << " window operations on another window than the main one\n";

    const SampleList &list = gSampleState.samples;
    const SampleNode *last = &list.head;
    std::size_t nodes = 0;
    for (const SampleNode *node = list.head.next; node != nullptr && nodes <= expected.values.size();
         node = node->next, ++nodes) {
        if (nodes < expected.values.size() &&
            std::bit_cast<std::uint64_t>(node->value) != std::bit_cast<std::uint64_t>(expected.values[nodes]))
            said << "  number " << nodes + 1 << ": core " << Bits(node->value) << ", model "
                 << Bits(expected.values[nodes]) << "\n";
        last = node;
    }
    if (nodes != expected.values.size())
        said << "  the list holds " << (nodes > expected.values.size() ? "more than " : "") << nodes
             << " numbers, the model " << expected.values.size() << "\n";
    if (list.count < 0 || static_cast<std::size_t>(list.count) != expected.values.size())
        said << "  count " << list.count << ", the model holds " << expected.values.size() << "\n";
    if (list.tail != last)
        said << "  the tail is not the last node\n";
    if (std::bit_cast<std::uint64_t>(gSampleState.runningSum) != std::bit_cast<std::uint64_t>(expected.runningSum))
        said << "  running sum: core " << Bits(gSampleState.runningSum) << ", model " << Bits(expected.runningSum)
             << "\n";
    if (gSampleState.listingText != expected.listing)
        said << "  listing text: core " << Printable(gSampleState.listingText) << ", model "
             << Printable(expected.listing) << "\n";
    return said.str();
}

// Runs one command on the core and the model; what differs afterwards, and what the model says happened.
struct StepResult {
    std::string differences;
    model::Outcome outcome;
};

StepResult Step(const Command &command, model::Calculator &expected)
{
    HWND window = FakeMainWindow();
    if (command.kind == Command::Add) {
        gFakeWindow.fields[IDC_INPUT] = command.text;
        expected.FieldText(model::kInputField) = command.text;
    } else if (command.kind == Command::Delete) {
        gFakeWindow.fields[IDC_DELETE_INDEX] = command.text;
        expected.FieldText(model::kPositionField) = command.text;
    }
    const std::size_t messagesBefore = gFakeWindow.messages.size();

    StepResult result{};
    if (command.failAfter >= 0)
        FailAllocationAfter(command.failAfter);
    try {
        switch (command.kind) {
        case Command::Add:
        case Command::AddAgain: AddNumber(window); break;
        case Command::Delete:
        case Command::DeleteAgain: DeleteNumber(window); break;
        case Command::Report: ComputeReport(window); break;
        case Command::Clear: ClearAll(window); break;
        }
    } catch (const std::exception &thrown) {
        result.differences = std::string("  the command let an exception out: ") + thrown.what() + "\n";
    }
    StopFailingAllocations();
    const bool failed = command.failAfter >= 0 && AllocationFailed();

    switch (command.kind) {
    case Command::Add:
    case Command::AddAgain: result.outcome = expected.Add(failed); break;
    case Command::Delete:
    case Command::DeleteAgain: result.outcome = expected.Delete(failed); break;
    case Command::Report: result.outcome = expected.Report(failed); break;
    case Command::Clear:
        result.outcome = expected.Clear();
        if (failed)
            result.differences += "  clearing allocated memory\n";
        break;
    }
    result.differences += Differences(expected, messagesBefore);
    return result;
}

void StartAfresh()
{
    StopFailingAllocations();
    ReleaseSampleState();
    InitSampleState();
    ResetFakeWindow();
}

struct Disagreement {
    std::size_t step;  // index of the command after which core and model differ
    std::string differences;
};

std::optional<Disagreement> Replay(const std::vector<Command> &commands)
{
    StartAfresh();
    model::Calculator expected;
    for (std::size_t at = 0; at < commands.size(); ++at) {
        StepResult result = Step(commands[at], expected);
        if (!result.differences.empty())
            return Disagreement{at, result.differences};
    }
    return std::nullopt;
}

// Forms of a command that are simpler to read: no failing allocation or an earlier one,
// a shorter text.
std::vector<Command> SimplerForms(const Command &command)
{
    std::vector<Command> forms;
    if (command.failAfter >= 0) {
        forms.push_back(command);
        forms.back().failAfter = -1;
        for (long earlier : {0L, command.failAfter / 2, command.failAfter - 1})
            if (earlier < command.failAfter) {
                forms.push_back(command);
                forms.back().failAfter = earlier;
            }
    }
    const std::string &text = command.text;
    if (text.size() <= 64) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            forms.push_back(command);
            forms.back().text.erase(at, 1);
        }
    } else {
        for (std::size_t chunk = text.size() / 2; chunk >= text.size() / 16; chunk /= 2)
            for (std::size_t at = 0; at + chunk <= text.size(); at += chunk) {
                forms.push_back(command);
                forms.back().text.erase(at, chunk);
            }
    }
    return forms;
}

// Seeded and independent of the standard library's distributions, so that a seed names
// the same sequence everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    std::uint64_t Below(std::uint64_t bound) { return engine_() % bound; }
    std::size_t Between(std::size_t low, std::size_t high) { return low + Below(high - low + 1); }
    bool Percent(unsigned chance) { return Below(100) < chance; }

private:
    std::mt19937_64 engine_;
};

std::string Digits(Random &random, std::size_t count)
{
    std::string digits;
    for (std::size_t at = 0; at < count; ++at)
        digits += static_cast<char>('0' + random.Below(10));
    return digits;
}

std::string NonZeroDigit(Random &random)
{
    return std::string(1, static_cast<char>('1' + random.Below(9)));
}

// The exact decimal digits of m / 2^n for odd m below 2^n: the fraction has n digits and
// ends in 5, so for n > 6 the rendering with six decimals rounds a value near a tie.
std::string DyadicFraction(Random &random)
{
    const unsigned n = static_cast<unsigned>(random.Between(7, 17));
    const std::uint64_t m = random.Below(std::uint64_t{1} << (n - 1)) * 2 + 1;
    std::uint64_t fivePower = 1;
    for (unsigned k = 0; k < n; ++k)
        fivePower *= 5;
    const std::string digits = std::to_string(m * fivePower);
    return std::string(n - digits.size(), '0') + digits;
}

// A text the grammar accepts, though a long one may not be accepted once cut at 1023
// bytes. Every draw is a statement of its own, in order, so that a seed gives the same
// text whatever order a compiler evaluates operands in.
std::string NumberText(Random &random)
{
    std::string text;
    switch (random.Below(13)) {
    case 0: text = random.Percent(50) ? "0" : "0.000"; break;
    case 1: text = Digits(random, random.Between(1, 3)); break;
    case 2:
        text = Digits(random, random.Between(1, 6)) + ".";
        text += Digits(random, random.Between(1, 6));
        break;
    case 3: text = "." + Digits(random, random.Between(1, 8)); break;
    case 4:
        text = std::string(random.Between(1, 5), '0');  // leading zeros
        text += Digits(random, random.Between(1, 4));
        break;
    case 5:
        text = Digits(random, random.Between(1, 3)) + ".";
        text += Digits(random, 1);
        text += std::string(random.Between(1, 4), '0');  // trailing zeros
        break;
    case 6:
        if (random.Percent(50))
            text = Digits(random, random.Between(1, 3));
        text += "." + DyadicFraction(random);
        break;
    case 7:  // more digits than a double holds
        text = NonZeroDigit(random);
        text += Digits(random, random.Between(14, 24));
        break;
    case 8:  // near the top of the range, or beyond it
        text = NonZeroDigit(random);
        text += Digits(random, random.Between(300, 315));
        if (random.Percent(50))
            text += "." + Digits(random, 3);
        break;
    case 9:  // subnormal, or too small for a double
        text = "0." + std::string(random.Between(300, 330), '0');
        text += Digits(random, random.Between(1, 20));
        break;
    case 10:  // two of these overflow the sum; the second is infinite itself
        text = random.Percent(50) ? "17" + std::string(307, '0') : "1" + std::string(309, '0');
        break;
    case 11:  // around the 1023-byte cut
        text = Digits(random, random.Between(1000, 1030));
        if (random.Percent(50))
            text += "." + Digits(random, random.Between(1, 30));
        break;
    default:  // more than six decimals, rounded when rendered
        text = Digits(random, random.Between(1, 2)) + ".";
        text += Digits(random, random.Between(7, 12));
        break;
    }
    return random.Percent(30) ? "-" + text : text;
}

// Mostly one byte or two away from an accepted text; sometimes accepted after all.
std::string MistypedText(Random &random)
{
    static const char *const kWholeTexts[] = {"", "-", ".", "-.", "+5", "1e5", "5.", "--5", "0x10", "inf", "nan",
                                              "\xA3\xB5"};
    static const char *const kInserted[] = {" ", "\t", "\r\n", "+", "e", "E", "-", ".", ",", "x",
                                            "\xD2\xBB", "\xA1\xA1", "\xA3\xAE", "\xB0"};
    if (random.Percent(20))
        return kWholeTexts[random.Below(std::size(kWholeTexts))];
    std::string text = NumberText(random);
    if (random.Percent(15)) {
        const std::size_t point = text.find('.');
        return point == std::string::npos ? text + "." : text.substr(0, point + 1);
    }
    const std::size_t at = random.Below(text.size() + 1);
    return text.insert(at, kInserted[random.Below(std::size(kInserted))]);
}

std::string PositionText(Random &random, std::size_t count)
{
    if (count > 0 && random.Percent(60))
        return std::to_string(random.Percent(25) ? count : random.Between(1, count));
    static const char *const kOdd[] = {"0", "", "abc", "2147483647", "2147483648", "4294967295", "4294967296",
                                       "-1", "1.0", "\xD2\xBB"};
    switch (random.Below(5)) {
    case 0: return std::to_string(count + 1);
    case 1: return " " + std::to_string(random.Between(1, count + 1));
    case 2: return "00" + std::to_string(random.Between(1, count + 1));
    case 3: return std::to_string(random.Between(1, count + 1)) + " ";
    default: return kOdd[random.Below(std::size(kOdd))];
    }
}

Command NextCommand(Random &random, std::size_t count)
{
    Command command{};
    const std::uint64_t roll = random.Below(100);
    if (roll < 50)
        command = {Command::Add, random.Percent(70) ? NumberText(random) : MistypedText(random)};
    else if (roll < 54)
        command = {Command::AddAgain, ""};
    else if (roll < 76)
        command = {Command::Delete, PositionText(random, count)};
    else if (roll < 79)
        command = {Command::DeleteAgain, ""};
    else if (roll < 96)
        command = {Command::Report, ""};
    else
        command = {Command::Clear, ""};
    // Deleting makes an allocation or two per stored number, the others a few in all.
    if (random.Percent(12))
        command.failAfter = static_cast<long>(random.Below(count + 8));
    return command;
}

std::uint64_t FromEnvironment(const char *name, std::uint64_t otherwise)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : otherwise;
}

// A run of this many commands starts from a fresh calculator and has a seed of its own.
constexpr std::size_t kCommandsPerRun = 250;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { StartAfresh(); }
    void TearDown() override
    {
        StopFailingAllocations();
        ReleaseSampleState();
    }
};

TEST_F(ModelTest, CoreAgreesWithTheModelOverRandomCommandSequences)
{
    // QUILLSPARROW_MODEL_STEPS and QUILLSPARROW_MODEL_SEED choose other sequences than CI's.
    const std::uint64_t steps = FromEnvironment("QUILLSPARROW_MODEL_STEPS", 100000);
    const std::uint64_t firstSeed = FromEnvironment("QUILLSPARROW_MODEL_SEED", 1);
    const std::uint64_t runs = (steps + kCommandsPerRun - 1) / kCommandsPerRun;

    std::vector<std::uint64_t> outcomes(model::kOutcomes);
    for (std::uint64_t seed = firstSeed; seed < firstSeed + runs; ++seed) {
        Random random(seed);
        StartAfresh();
        model::Calculator expected;
        std::vector<Command> commands;
        for (std::size_t at = 0; at < kCommandsPerRun; ++at) {
            commands.push_back(NextCommand(random, expected.values.size()));
            const StepResult result = Step(commands.back(), expected);
            ++outcomes[static_cast<std::size_t>(result.outcome)];
            if (result.differences.empty())
                continue;

            const auto fails = [](const std::vector<Command> &tried) { return Replay(tried).has_value(); };
            const std::vector<Command> shortest = Simplify(Shrink(commands, fails), fails, SimplerForms);
            const std::optional<Disagreement> shown = Replay(shortest);
            std::ostringstream report;
            report << "core and model differ in the run of seed " << seed << " (QUILLSPARROW_MODEL_SEED=" << seed
                   << "), after command " << at + 1 << ":\n"
                   << result.differences << "The shortest sequence that shows a difference, from a fresh start, is "
                   << shortest.size() << (shortest.size() == 1 ? " command:\n" : " commands:\n");
            for (std::size_t k = 0; k < shortest.size(); ++k)
                report << "  " << k + 1 << ". " << Describe(shortest[k]) << "\n";
            if (shown)
                report << "after command " << shown->step + 1 << ":\n" << shown->differences;
            FAIL() << report.str();
        }
    }

    // Every path was taken, so no part of the comparison went untried.
    const char *const names[] = {"added", "invalid input", "store failed", "deleted", "no data", "no such number",
                                 "delete out of memory", "reported", "report out of memory", "cleared"};
    std::printf("%llu commands in %llu runs from seed %llu:", static_cast<unsigned long long>(runs * kCommandsPerRun),
                static_cast<unsigned long long>(runs), static_cast<unsigned long long>(firstSeed));
    for (int outcome = 0; outcome < model::kOutcomes; ++outcome) {
        const std::uint64_t times = outcomes[static_cast<std::size_t>(outcome)];
        std::printf("%s %s %llu", outcome == 0 ? "" : ",", names[outcome], static_cast<unsigned long long>(times));
        EXPECT_GT(times, 0u) << names[outcome] << " never happened";
    }
    std::printf("\n");
}

}  // namespace
