// The baseline for the start-up and click timings: the least a Win32 program can do to show
// a window of the calculator's size and style. Started with the argument "button" it also
// has a button whose click sets the text of one field, the smallest command a click can run;
// without it, the window is empty, so start-up is timed without any control.
#include <windows.h>

namespace {

const char kClassName[] = "QuillsparrowBaseline";
constexpr int kButtonId = 1;
constexpr int kFieldId = 2;
bool gWithButton = false;

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        if (!gWithButton)
            return 0;
        const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 4, 26, 70, 30, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
        CreateWindowExA(0, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE, 4, 4, 144, 16,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFieldId)), instance, nullptr);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId) {
            // A text that changes on every click, so the field really is rewritten each time.
            static unsigned clicks = 0;
            char text[16];
            wsprintfA(text, "%u", ++clicks);
            SetDlgItemTextA(window, kFieldId, text);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    gWithButton = lstrcmpA(commandLine, "button") == 0;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    const HWND window = CreateWindowExA(0, kClassName, "Baseline", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 348, 208, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
