#include "fake_window.h"

#include "failing_allocation.h"
#include "unsigned_field.h"

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

extern "C" UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL *lpTranslated, BOOL bSigned)
{
    const AllocationsAllowed fakeWindowAllocates;
    if (lpTranslated != nullptr)
        *lpTranslated = FALSE;
    if (!IsMainWindow(hDlg) || bSigned)
        return 0;
    const std::optional<std::uint32_t> value = ReadUnsignedField(gFakeWindow.fields[nIDDlgItem]);
    if (!value)
        return 0;
    if (lpTranslated != nullptr)
        *lpTranslated = TRUE;
    return *value;
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
