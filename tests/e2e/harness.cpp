#include "harness.h"

#include <cstdio>
#include <map>

namespace e2e {

namespace {

// Only guards against hangs; nothing is judged by how long it takes.
constexpr DWORD kHangGuardMs = 30000;

std::vector<std::string> g_steps;
int g_failures = 0;

std::string Context() {
    std::string out;
    for (const std::string& step : g_steps) {
        if (!out.empty()) out += " / ";
        out += step;
    }
    return out;
}

std::string Utf8FromCp936(const std::string& bytes) {
    if (bytes.empty()) return {};
    int wideLen = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLen), L'\0');
    MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), wideLen);
    int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, out.data(), len, nullptr, nullptr);
    return out;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowCaption(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kHangGuardMs, &length)) {
        throw Fatal("WM_GETTEXTLENGTH got no answer");
    }
    // The ANSI length of a text stored as UTF-16 may be reported in either unit.
    std::string buffer((length + 1) * 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kHangGuardMs, &copied)) {
        throw Fatal("WM_GETTEXT got no answer");
    }
    buffer.resize(copied);
    return buffer;
}

bool IsIconStatic(HWND child) {
    return _stricmp(ClassOf(child).c_str(), "Static") == 0 &&
           (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child);
}

HWND FindIconStatic(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsIconStatic(child)) return child;
    }
    return nullptr;
}

std::vector<HWND> VisibleButtons(HWND box) {
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_stricmp(ClassOf(child).c_str(), "Button") == 0 && IsWindowVisible(child)) buttons.push_back(child);
    }
    return buttons;
}

bool IsUniform(const Pixels& pixels) {
    for (uint32_t p : pixels.data) {
        if (p != pixels.data.front()) return false;
    }
    return true;
}

// Screen contents of `window` once two reads in a row agree and show more than one colour,
// i.e. once it has been painted.
Pixels StableCapture(HWND window) {
    Pixels last = CaptureWindow(window);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kHangGuardMs;) {
        Sleep(30);
        Pixels now = CaptureWindow(window);
        if (now == last && !IsUniform(now)) return now;
        last = std::move(now);
    }
    return last;
}

struct OwnBoxSearch {
    HWND box = nullptr;
};

BOOL CALLBACK FindOwnBox(HWND window, LPARAM param) {
    if (ClassOf(window) == "#32770" && IsWindowVisible(window)) {
        reinterpret_cast<OwnBoxSearch*>(param)->box = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI ShowReferenceBox(void* flag) {
    MessageBoxA(nullptr, "e2e reference icon", "e2e", static_cast<UINT>(reinterpret_cast<UINT_PTR>(flag)));
    return 0;
}

const char* IconName(UINT flag) {
    switch (flag) {
    case MB_ICONINFORMATION: return "information";
    case MB_ICONERROR: return "error";
    case MB_ICONWARNING: return "warning";
    case MB_ICONQUESTION: return "question";
    }
    return "?";
}

// How this Wine draws the system icon `flag` in a message box: taken from a message box of the
// driver's own, so the program's box can be compared pixel for pixel.
const Pixels& ReferenceIcon(UINT flag) {
    static std::map<UINT, Pixels> cache;
    if (auto found = cache.find(flag); found != cache.end()) return found->second;
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, ShowReferenceBox, reinterpret_cast<void*>(static_cast<UINT_PTR>(flag)),
                                 0, &threadId);
    OwnBoxSearch search;
    for (DWORD start = GetTickCount(); !search.box && GetTickCount() - start < kHangGuardMs; Sleep(10)) {
        EnumThreadWindows(threadId, FindOwnBox, reinterpret_cast<LPARAM>(&search));
    }
    if (!search.box) throw Fatal(std::string("the driver's own ") + IconName(flag) + " message box did not appear");
    HWND icon = FindIconStatic(search.box);
    if (!icon) throw Fatal(std::string("the driver's own ") + IconName(flag) + " message box has no icon");
    Pixels pixels = StableCapture(icon);
    DismissMessageBox(search.box);
    WaitForPress(thread, "the driver's own message box");
    CloseHandle(thread);
    return cache.emplace(flag, std::move(pixels)).first->second;
}

std::string IdentifyIcon(const Pixels& shown) {
    for (UINT flag : {MB_ICONINFORMATION, MB_ICONERROR, MB_ICONWARNING, MB_ICONQUESTION}) {
        if (ReferenceIcon(flag) == shown) return IconName(flag);
    }
    return "none of the system icons";
}

DWORD WINAPI PressButton(void* button) {
    SendMessageA(static_cast<HWND>(button), BM_CLICK, 0, 0);
    return 0;
}

struct BoxSearch {
    HWND owner;
    HWND box = nullptr;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

// ---- reporting ------------------------------------------------------------------------------

Step::Step(std::string name) { g_steps.push_back(std::move(name)); }
Step::~Step() { g_steps.pop_back(); }

int FailureCount() { return g_failures; }

void Fail(const std::string& what) {
    ++g_failures;
    std::printf("FAIL [%s] %s\n", Context().c_str(), what.c_str());
    std::fflush(stdout);
}

void Note(const std::string& what) {
    std::printf("note [%s] %s\n", Context().c_str(), what.c_str());
    std::fflush(stdout);
}

bool Check(bool condition, const std::string& what) {
    if (!condition) Fail(what);
    return condition;
}

std::string Describe(const std::string& bytes) {
    std::string out = "\"";
    for (char c : Utf8FromCp936(bytes)) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        default: out += c;
        }
    }
    out += "\" (" + std::to_string(bytes.size()) + " bytes:";
    constexpr size_t kShown = 96;
    char hex[4];
    for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(bytes[i]));
        out += hex;
    }
    if (bytes.size() > kShown) out += " ...";
    return out + ")";
}

bool CheckText(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected == actual) return true;
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    Fail(what + ": first difference at byte " + std::to_string(at) + "\n    expected " + Describe(expected) +
         "\n    actual   " + Describe(actual));
    return false;
}

bool CheckNumber(const std::string& what, long long expected, long long actual) {
    if (expected == actual) return true;
    Fail(what + ": expected " + std::to_string(expected) + ", actual " + std::to_string(actual));
    return false;
}

bool CheckHex(const std::string& what, unsigned long expected, unsigned long actual) {
    if (expected == actual) return true;
    char text[96];
    std::snprintf(text, sizeof text, ": expected 0x%08lX, actual 0x%08lX (differing bits 0x%08lX)", expected, actual,
                  expected ^ actual);
    Fail(what + text);
    return false;
}

// ---- screen ---------------------------------------------------------------------------------

Pixels CaptureWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    Pixels pixels;
    pixels.width = rect.right - rect.left;
    pixels.height = rect.bottom - rect.top;
    if (pixels.width <= 0 || pixels.height <= 0) return pixels;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    pixels.data.assign(source, source + static_cast<size_t>(pixels.width) * pixels.height);
    for (uint32_t& p : pixels.data) p &= 0x00FFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// ---- message boxes --------------------------------------------------------------------------

void WaitForPress(HANDLE thread, const char* what) {
    if (WaitForSingleObject(thread, kHangGuardMs) != WAIT_OBJECT_0) {
        throw Fatal(std::string(what) + " did not finish");
    }
}

void DismissMessageBox(HWND box) {
    HWND button = GetDlgItem(box, IDOK);
    if (!button) {
        std::vector<HWND> buttons = VisibleButtons(box);
        if (buttons.empty()) {
            PostMessageA(box, WM_CLOSE, 0, 0);
            return;
        }
        button = buttons.front();
    }
    DWORD_PTR ignored;
    SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kHangGuardMs, &ignored);
}

void CheckMessageBox(HWND box, HWND owner, const MessageSpec& expected) {
    Step step(expected.name);
    // Read first: the rest of the checks take a moment and the owner must be disabled now.
    Check(!IsWindowEnabled(owner), "the main window is disabled while the message box is shown");
    CheckText("message text", expected.text, ControlText(GetDlgItem(box, 0xFFFF)));
    CheckText("message caption", expected.caption, WindowCaption(box));

    std::vector<HWND> buttons = VisibleButtons(box);
    if (CheckNumber("number of buttons", 1, static_cast<long long>(buttons.size()))) {
        CheckNumber("the button's id (IDOK)", IDOK, GetWindowLongA(buttons.front(), GWL_ID));
    }
    // MB_SYSTEMMODAL or MB_TOPMOST would make the box topmost; the program passes neither.
    Check(!(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST), "the message box is not topmost");

    HWND icon = FindIconStatic(box);
    if (!Check(icon != nullptr, std::string("the message box shows an icon (") + IconName(expected.icon) + ")")) return;
    const Pixels& reference = ReferenceIcon(expected.icon);
    Pixels shown = CaptureWindow(icon);
    for (DWORD start = GetTickCount(); shown != reference && GetTickCount() - start < 3000; Sleep(30)) {
        shown = CaptureWindow(icon);
    }
    if (shown != reference) {
        Fail(std::string("icon: expected the system's ") + IconName(expected.icon) + " icon, shown: " +
             IdentifyIcon(StableCapture(icon)));
    }
}

// ---- the program ----------------------------------------------------------------------------

App::App(const std::string& exePath) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exePath + "\"";
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        throw Fatal("cannot start " + exePath + " (error " + std::to_string(GetLastError()) + ")");
    }
    WaitForInputIdle(process_.hProcess, kHangGuardMs);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kHangGuardMs; Sleep(20)) {
        for (HWND window = FindWindowExA(nullptr, nullptr, kClassName, nullptr); window;
             window = FindWindowExA(nullptr, window, kClassName, nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId && IsWindowVisible(window)) {
                main_ = window;
                return;
            }
        }
        DWORD code = 0;
        if (GetExitCodeProcess(process_.hProcess, &code) && code != STILL_ACTIVE) {
            throw Fatal("the program ended with exit code " + std::to_string(code) + " before showing a window");
        }
    }
    TerminateProcess(process_.hProcess, 1);
    throw Fatal(std::string("the program showed no visible window of class \"") + kClassName + "\"");
}

App::~App() {
    if (!detached_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        dismissBoxes();
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, kHangGuardMs) != WAIT_OBJECT_0) {
            Fail("the program did not end after WM_CLOSE");
            TerminateProcess(process_.hProcess, 1);
        }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND App::control(int id) const {
    HWND control = GetDlgItem(main_, id);
    if (!control) throw Fatal("the main window has no control with id " + std::to_string(id));
    return control;
}

std::string App::text(int id) const { return ControlText(control(id)); }

void App::setText(int id, const std::string& text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kHangGuardMs, &result) ||
        !result) {
        throw Fatal("WM_SETTEXT to control " + std::to_string(id) + " failed");
    }
}

void App::type(int id, const std::string& text) {
    HWND target = control(id);
    for (char c : text) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(target, WM_CHAR, static_cast<unsigned char>(c), 1, SMTO_ABORTIFHUNG, kHangGuardMs,
                            &ignored);
    }
}

HWND App::findBox() const {
    BoxSearch search{main_};
    EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.box;
}

void App::dismissBoxes() {
    for (int i = 0; i < 10; ++i) {
        HWND box = findBox();
        if (!box) return;
        DismissMessageBox(box);
        Sleep(50);
    }
}

ClickResult App::press(int id) {
    HWND button = control(id);
    ClickResult result;
    result.thread = CreateThread(nullptr, 0, PressButton, button, 0, nullptr);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kHangGuardMs;) {
        if (WaitForSingleObject(result.thread, 10) == WAIT_OBJECT_0) return result;
        if ((result.box = findBox())) return result;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) {
            throw Fatal("the program ended while a button was being pressed");
        }
    }
    throw Fatal("pressing button " + std::to_string(id) + " neither finished nor showed a message box");
}

void App::click(int id) {
    ClickResult result = press(id);
    if (result.box) {
        Fail("unexpected message box " + Describe(WindowCaption(result.box)) + ": " +
             Describe(ControlText(GetDlgItem(result.box, 0xFFFF))));
        DismissMessageBox(result.box);
    }
    WaitForPress(result.thread, "the command");
    CloseHandle(result.thread);
}

void App::clickExpectingMessage(int id, const MessageSpec& expected) {
    ReferenceIcon(expected.icon);  // taken now, while no box of the program's can overlap it
    ClickResult result = press(id);
    if (!result.box) {
        Fail(std::string("expected the ") + expected.name + ", but the command finished without a message box");
    } else {
        CheckMessageBox(result.box, main_, expected);
        DismissMessageBox(result.box);
    }
    WaitForPress(result.thread, "the command");
    CloseHandle(result.thread);
    if (result.box) Check(IsWindowEnabled(main_), "the main window is enabled again after the message box");
}

void App::addNumber(const std::string& text) {
    setText(kInput, text);
    click(kNext);
}

void App::deleteAt(const std::string& position) {
    setText(kDeleteIndex, position);
    click(kDelete);
}

void App::compute() { click(kCompute); }

DWORD App::closeAndWait(UINT message, WPARAM wParam) {
    PostMessageA(main_, message, wParam, 0);
    if (WaitForSingleObject(process_.hProcess, kHangGuardMs) != WAIT_OBJECT_0) {
        Fail("the program did not end");
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, kHangGuardMs);
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace e2e
