// Drives a running Quillsparrow.exe from outside: only window messages a user's actions would
// produce, and what any other process can read back from the windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "texts.h"

namespace e2e {

// ---- reporting ------------------------------------------------------------------------------

// Thrown when a scenario cannot go on (the program vanished, a window is missing).
struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Names the step being checked; failures print the whole chain of open steps.
class Step {
public:
    explicit Step(std::string name);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
};

int FailureCount();
void Fail(const std::string& what);
// Each returns whether the check held.
bool Check(bool condition, const std::string& what);
bool CheckText(const std::string& what, const std::string& expected, const std::string& actual);
bool CheckNumber(const std::string& what, long long expected, long long actual);
bool CheckHex(const std::string& what, unsigned long expected, unsigned long actual);
void Note(const std::string& what);

// Quoted text in UTF-8 for reading, with its code page 936 bytes in hex.
std::string Describe(const std::string& bytes);

// ---- screen ---------------------------------------------------------------------------------

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;  // 0x00RRGGBB, rows top to bottom
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Pixels&) const = default;
};

// What the screen shows inside a window's rectangle. Reading another process's window DC
// gives nothing under Wine, so this reads the screen.
Pixels CaptureWindow(HWND window);

// ---- the program ----------------------------------------------------------------------------

struct ClickResult {
    HANDLE thread = nullptr;  // sends BM_CLICK; ends when the command has run to completion
    HWND box = nullptr;       // the message box the command shows, if any
};

class App {
public:
    // Starts the program and waits for its main window.
    explicit App(const std::string& exePath);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND main() const { return main_; }
    HANDLE process() const { return process_.hProcess; }
    DWORD threadId() const { return process_.dwThreadId; }
    HWND control(int id) const;

    std::string text(int id) const;
    void setText(int id, const std::string& text);
    // One WM_CHAR per byte, as typing does.
    void type(int id, const std::string& text);

    // Presses a button and returns once the command has finished or has put up a message box.
    ClickResult press(int id);
    // Presses a button; the command must finish without a message box.
    void click(int id);
    // Presses a button; the command must show `expected` (text, caption, icon, one OK button,
    // main window disabled), which is then dismissed with its OK button.
    void clickExpectingMessage(int id, const MessageSpec& expected);

    // Types the text into the input field and presses "下一个数"; no message may appear.
    void addNumber(const std::string& text);
    void deleteAt(const std::string& position);
    void compute();

    // Asks the window to close the given way and waits for the process; returns its exit code.
    DWORD closeAndWait(UINT message, WPARAM wParam);
    // Leaves the program running when the driver ends.
    void detach() { detached_ = true; }

private:
    HWND findBox() const;
    void dismissBoxes();

    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    bool detached_ = false;
};

// Waits for `thread` (a press) to end; fatal if it does not within the hang guard.
void WaitForPress(HANDLE thread, const char* what);

// Checks a message box against `expected`; does not dismiss it.
void CheckMessageBox(HWND box, HWND owner, const MessageSpec& expected);

// Presses the box's OK button.
void DismissMessageBox(HWND box);

}  // namespace e2e
