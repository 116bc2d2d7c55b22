// Times the real program under Wine from outside, beside a minimal Win32 program started and
// clicked the same way:
//   - start-up: CreateProcess until the main window of the process exists and is visible;
//   - one click (BM_CLICK sent and returned, so the command has run to completion) with 1,000
//     numbers stored, for 下一个数 and 计算.
// Prints a table of medians. Nothing is judged by time; the run fails only when the program
// does not do what the timed clicks are meant to make it do.
//
//   wine_timing.exe PROGRAM.exe MINIMAL.exe [launches] [clicks]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "../../tests/e2e/texts.h"

namespace {

using e2e::kClassName;

const char kBaselineClass[] = "QuillsparrowBaseline";
constexpr int kBaselineButton = 1;
constexpr int kBaselineField = 2;

constexpr int kStored = 1000;
// Wider than the 1,000-entry listing is long in the field's font, so it fits on one line.
constexpr int kFillWidth = 2000000;
// Only guards against hangs. Setting a 1,000-entry listing takes seconds under Wine.
constexpr DWORD kHangGuardMs = 120000;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double g_tickMs = 0;

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * g_tickMs;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

HWND FindVisibleWindow(const char *className, DWORD pid)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// A running program, started by CreateProcess and waited for until its main window shows.
class Program {
public:
    Program(const std::string &exe, const char *className, const char *arguments = nullptr)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        if (arguments)
            commandLine += std::string(" ") + arguments;
        const double start = NowMs();
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            throw Failure("cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")");
        // Polled each millisecond: a wait for input idle or a longer sleep would add its own
        // granularity to what is timed.
        for (;;) {
            if ((main_ = FindVisibleWindow(className, process_.dwProcessId)))
                break;
            if (WaitForSingleObject(process_.hProcess, 1) == WAIT_OBJECT_0)
                throw Failure(exe + " ended before showing its window");
            if (NowMs() - start > kHangGuardMs)
                throw Failure(exe + " showed no visible window of class " + className);
        }
        startupMs_ = NowMs() - start;
    }

    ~Program()
    {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageA(main_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.hProcess, kHangGuardMs) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    double startupMs() const { return startupMs_; }

    // Closes the window and waits for the process; its exit code must be 0.
    void close()
    {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, kHangGuardMs) != WAIT_OBJECT_0)
            throw Failure("a program did not end after WM_CLOSE");
        DWORD code = 1;
        GetExitCodeProcess(process_.hProcess, &code);
        if (code != 0)
            throw Failure("a program ended with exit code " + std::to_string(code));
    }

    HWND control(int id) const
    {
        HWND control = GetDlgItem(main_, id);
        if (!control)
            throw Failure("no control with id " + std::to_string(id));
        return control;
    }

    std::string text(int id) const
    {
        const HWND field = control(id);
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(field, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kHangGuardMs, &length))
            throw Failure("WM_GETTEXTLENGTH got no answer");
        std::string buffer((length + 1) * 2, '\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutA(field, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                                 SMTO_ABORTIFHUNG, kHangGuardMs, &copied))
            throw Failure("WM_GETTEXT got no answer");
        buffer.resize(copied);
        return buffer;
    }

    void setText(int id, const std::string &text)
    {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                 SMTO_ABORTIFHUNG, kHangGuardMs, &result) ||
            !result)
            throw Failure("WM_SETTEXT to control " + std::to_string(id) + " failed");
    }

    // BM_CLICK returns once the button's WM_COMMAND has been handled: the command is done.
    // None of the clicks here may put up a message box, so no second thread is needed.
    double click(int id)
    {
        const HWND button = control(id);
        DWORD_PTR ignored = 0;
        const double start = NowMs();
        if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kHangGuardMs, &ignored))
            throw Failure("a click on control " + std::to_string(id) + " got no answer");
        const double elapsed = NowMs() - start;
        if (!IsWindowEnabled(main_))
            throw Failure("a message box came up after a click on control " + std::to_string(id));
        return elapsed;
    }

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    double startupMs_ = 0;
};

struct Row {
    std::string what;
    double median;
    double baseline;
    int samples;
};

void PrintTable(const std::vector<Row> &rows)
{
    std::printf("| %-52s | %3s | %10s | %10s | %6s |\n", "what (medians)", "n", "program", "baseline", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(5, '-').c_str(),
                std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(8, '-').c_str());
    for (const Row &row : rows) {
        // The labels hold UTF-8 text: a column is padded by what a terminal shows, and the
        // Chinese characters (three bytes each here) take two columns.
        int shown = 0;
        for (char c : row.what) {
            const auto byte = static_cast<unsigned char>(c);
            shown += byte < 0x80 ? 1 : (byte & 0xF0) == 0xE0 ? 2 : 0;
        }
        std::printf("| %s%*s | %3d | %7.1f ms | %7.2f ms | %6.2f |\n", row.what.c_str(), 52 - shown, "", row.samples,
                    row.median, row.baseline, row.median / row.baseline);
    }
    std::fflush(stdout);
}

std::string Utf8(const char8_t *text) { return reinterpret_cast<const char *>(text); }

// The typed texts of the stored numbers: short decimals as a user would type them.
// Written as the listing writes them again after a deletion (no trailing zero).
std::string NumberText(int k)
{
    return std::to_string(k % 97) + (k % 10 ? "." + std::to_string(k % 10) : "");
}

std::string Entry(int position, const std::string &number)
{
    return "(" + std::to_string(position) + ")" + number + ";";
}

// Stores kStored numbers through the 下一个数 button. Each click sets the whole listing, and
// Wine's wrapping edit lays a long line out in time that grows faster than its length, so
// the listing field is made wide enough for the listing to need hardly any wrapping while
// the numbers go in, and given back its size (laying the listing out again) before the last
// one: what the program stores and shows is what a user's clicks would leave. At the field's
// own width the first 300 numbers alone take over half a minute and the whole fill twenty
// minutes or more; this way it takes a minute or two.
std::string Fill(Program &program)
{
    const HWND listing = program.control(e2e::kListing);
    RECT rect;
    GetWindowRect(listing, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(GetParent(listing), &origin);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    std::string expected;
    const double start = NowMs();
    SetWindowPos(listing, nullptr, 0, 0, kFillWidth, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int k = 1; k <= kStored; ++k) {
        if (k == kStored)
            SetWindowPos(listing, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        const std::string number = NumberText(k);
        program.setText(e2e::kInput, number);
        program.click(e2e::kNext);
        expected += Entry(k, number);
    }
    const double elapsed = NowMs() - start;

    GetWindowRect(listing, &rect);
    if (rect.right - rect.left != width || rect.bottom - rect.top != height)
        throw Failure("the listing field did not get its size back");
    if (program.text(e2e::kListing) != expected)
        throw Failure("after the fill the listing is not the 1,000 entries typed");
    std::printf("filled %d numbers through the button in %.1f s (listing %zu bytes)\n", kStored, elapsed / 1000,
                expected.size());
    std::fflush(stdout);
    return expected;
}

// The report's first line: the numbers are k % 97 + (k % 10) / 10, summed exactly in tenths.
std::string ExpectedSumLine()
{
    long long tenths = 0;
    for (int k = 1; k <= kStored; ++k)
        tenths += (k % 97) * 10 + k % 10;
    char text[64];
    std::snprintf(text, sizeof text, "%lld.%lld00000", tenths / 10, tenths % 10);
    return std::string("和　　=") + text;
}

int Run(const std::string &programExe, const std::string &minimalExe, int launches, int clicks)
{
    std::vector<Row> rows;

    // One start of each first, untimed, so that both are read from the page cache alike.
    Program(programExe, kClassName).close();
    Program(minimalExe, kBaselineClass).close();
    {
        std::vector<double> program, minimal;
        for (int i = 0; i < launches; ++i) {
            // Alternating, so that a change in the machine's load falls on both alike.
            {
                Program started(programExe, kClassName);
                program.push_back(started.startupMs());
                started.close();
            }
            {
                Program started(minimalExe, kBaselineClass);
                minimal.push_back(started.startupMs());
                started.close();
            }
        }
        rows.push_back({"start-up: CreateProcess to main window visible", Median(program), Median(minimal),
                        launches});
    }

    Program program(programExe, kClassName);
    Program minimal(minimalExe, kBaselineClass, "button");
    const std::string listing = Fill(program);
    const std::string sumLine = ExpectedSumLine();

    std::vector<double> add, compute, baseline;
    const std::string added = "42.5";
    const std::string position = std::to_string(kStored + 1);
    for (int i = 0; i < clicks; ++i) {
        program.setText(e2e::kInput, added);
        add.push_back(program.click(e2e::kNext));
        baseline.push_back(minimal.click(kBaselineButton));
        if (program.text(e2e::kListing) != listing + Entry(kStored + 1, added))
            throw Failure("AddNumber did not append the entry to the 1,000-entry listing");
        // Back to the 1,000 numbers, untimed, through the 删除这个数 button.
        program.setText(e2e::kDeleteIndex, position);
        program.click(e2e::kDelete);
        if (program.text(e2e::kListing) != listing)
            throw Failure("DeleteNumber did not give back the 1,000-entry listing");

        program.setText(e2e::kReport, "");
        compute.push_back(program.click(e2e::kCompute));
        baseline.push_back(minimal.click(kBaselineButton));
        const std::string report = program.text(e2e::kReport);
        if (report.compare(0, sumLine.size() + 2, sumLine + "\r\n") != 0)
            throw Failure("ComputeReport did not report the sum of the 1,000 numbers");
    }
    if (minimal.text(kBaselineField) != std::to_string(2 * clicks))
        throw Failure("the baseline's clicks did not all run");
    const double baselineClick = Median(baseline);
    rows.push_back({Utf8(u8"click 下一个数 (AddNumber), 1,000 stored"), Median(add), baselineClick, clicks});
    rows.push_back({Utf8(u8"click 计算 (ComputeReport), 1,000 stored"), Median(compute), baselineClick, clicks});
    program.close();
    minimal.close();

    std::printf("%d launches of each, alternating; %d clicks of each command, the baseline's click (setting one "
                "field's text) between them\n",
                launches, clicks);
    PrintTable(rows);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: %s PROGRAM.exe MINIMAL.exe [launches] [clicks]\n", argv[0]);
        return 2;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tickMs = 1000.0 / static_cast<double>(frequency.QuadPart);
    const int launches = argc > 3 ? std::atoi(argv[3]) : 20;
    // Each 下一个数 sample sets the 1,000-entry listing twice (the click, and the deletion that
    // follows it), seconds each under Wine.
    const int clicks = argc > 4 ? std::atoi(argv[4]) : 7;
    if (launches < 1 || clicks < 1) {
        std::fprintf(stderr, "launches and clicks must be at least 1\n");
        return 2;
    }
    try {
        return Run(argv[1], argv[2], launches, clicks);
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "wine_timing: %s\n", failure.what());
        return 1;
    }
}
