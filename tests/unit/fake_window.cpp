#include "fake_window.h"

#include "failing_allocation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

FakeWindow gFakeWindow;

namespace {

bool IsMainWindow(HWND window)
{
    if (window == FakeMainWindow())
        return true;
    ++gFakeWindow.callsOnOtherWindows;
    return false;
}

}  // namespace

HWND FakeMainWindow()
{
    static char mainWindow;
    return reinterpret_cast<HWND>(&mainWindow);
}

void ResetFakeWindow()
{
    gFakeWindow = FakeWindow{};
}

extern "C" UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    const AllocationsAllowed fakeWindowAllocates;
    if (!IsMainWindow(hDlg) || cchMax <= 0)
        return 0;
    const std::string &text = gFakeWindow.fields[nIDDlgItem];
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(cchMax - 1));
    std::memcpy(lpString, text.data(), copied);
    lpString[copied] = '\0';
    return static_cast<UINT>(copied);
}

// Unsigned decimal digits, optionally after spaces; anything else, or a value above
// 4294967295, reads as 0.
extern "C" UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL *lpTranslated, BOOL bSigned)
{
    const AllocationsAllowed fakeWindowAllocates;
    if (lpTranslated != nullptr)
        *lpTranslated = FALSE;
    if (!IsMainWindow(hDlg) || bSigned)
        return 0;
    const std::string &text = gFakeWindow.fields[nIDDlgItem];
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos)
        return 0;
    std::uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX)
            return 0;
    }
    if (lpTranslated != nullptr)
        *lpTranslated = TRUE;
    return static_cast<UINT>(value);
}

extern "C" BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    const AllocationsAllowed fakeWindowAllocates;
    if (!IsMainWindow(hDlg))
        return FALSE;
    gFakeWindow.fields[nIDDlgItem] = lpString;
    return TRUE;
}

extern "C" int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const AllocationsAllowed fakeWindowAllocates;
    IsMainWindow(hWnd);
    gFakeWindow.messages.push_back({lpText, lpCaption, uType});
    return 1;  // IDOK
}
