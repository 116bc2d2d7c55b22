// The program's entry, its main window with the nine controls, and the routing of
// button clicks to the calculator's commands.
#include <windows.h>

#include "commands.h"
#include "resource.h"

namespace {

const char kClassName[] = "Quillsparrow";
const char kCaption[] = "Ombrelyn";
constexpr int kWindowWidth = 348;   // outer size, frame and title bar included
constexpr int kWindowHeight = 208;

struct ControlSpec {
    int id;
    const char *className;
    const char *text;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    int x, y, width, height;
};

// In creation order. The input fields are one-line multi-line edits without a border.
const ControlSpec kControls[] = {
    {IDC_NEXT, "BUTTON", "下一个数", BS_DEFPUSHBUTTON, 4, 26, 70, 30},
    {IDC_COMPUTE, "BUTTON", "计算", BS_DEFPUSHBUTTON, 78, 26, 70, 30},
    {IDC_CLEAR, "BUTTON", "清空", BS_DEFPUSHBUTTON, 152, 142, 88, 30},
    {IDC_DELETE, "BUTTON", "删除这个数", BS_DEFPUSHBUTTON, 244, 142, 88, 30},
    {IDC_DELETE_INDEX, "EDIT", nullptr, ES_NUMBER | ES_AUTOHSCROLL | ES_MULTILINE, 292, 122, 40, 16},
    {IDC_INPUT, "EDIT", nullptr, ES_AUTOHSCROLL | ES_MULTILINE, 4, 4, 144, 16},
    {IDC_REPORT, "EDIT", nullptr,
     WS_BORDER | WS_HSCROLL | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_MULTILINE, 4, 64, 144, 108},
    {IDC_LISTING, "EDIT", nullptr, WS_BORDER | WS_VSCROLL | ES_READONLY | ES_AUTOVSCROLL | ES_MULTILINE, 152, 4,
     180, 114},
    {IDC_DELETE_LABEL, "STATIC", "要删除数据的编号：", 0, 152, 122, 136, 16},
};

void CreateControls(HWND window)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    for (const ControlSpec &control : kControls) {
        CreateWindowExA(0, control.className, control.text, WS_CHILD | WS_VISIBLE | control.style, control.x,
                        control.y, control.width, control.height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    }
}

struct CommandSpec {
    int id;
    void (*run)(HWND window);
};

const CommandSpec kCommands[] = {
    {IDC_NEXT, AddNumber},
    {IDC_CLEAR, ClearAll},
    {IDC_COMPUTE, ComputeReport},
    {IDC_DELETE, DeleteNumber},
};

// Only the control identifier counts; notifications from the edit fields run nothing.
void DispatchCommand(HWND window, int id)
{
    for (const CommandSpec &command : kCommands) {
        if (command.id == id) {
            command.run(window);
            return;
        }
    }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        InitSampleState();
        return 0;
    case WM_DESTROY:
        ReleaseSampleState();
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        DispatchCommand(window, LOWORD(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLSPARROW));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_APPSTARTING);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    const HWND window = CreateWindowExA(0, kClassName, kCaption, WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                        CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr, instance,
                                        nullptr);
    if (window == nullptr)
        return 1;  // no window to show: do not wait for messages that never come
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
