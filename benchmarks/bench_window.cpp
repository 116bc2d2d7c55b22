#include "bench_window.h"

#include "calculator_state.h"
#include "unsigned_field.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

BenchWindow gBenchWindow;

namespace {

std::string *FieldOf(HWND window, int id)
{
    if (window != BenchMainWindow() || id < 0 || id >= static_cast<int>(std::size(gBenchWindow.fields))) {
        ++gBenchWindow.callsOnOtherWindows;
        return nullptr;
    }
    return &gBenchWindow.fields[id];
}

}  // namespace

HWND BenchMainWindow()
{
    static char mainWindow;
    return reinterpret_cast<HWND>(&mainWindow);
}

void ResetBenchWindow()
{
    for (std::string &field : gBenchWindow.fields)
        std::string().swap(field);
    gBenchWindow.copyListing = true;
    gBenchWindow.listingGiven = nullptr;
    gBenchWindow.messagesShown = 0;
    gBenchWindow.callsOnOtherWindows = 0;
}

extern "C" UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    const std::string *text = FieldOf(hDlg, nIDDlgItem);
    if (text == nullptr || cchMax <= 0)
        return 0;
    const std::size_t copied = std::min(text->size(), static_cast<std::size_t>(cchMax - 1));
    std::memcpy(lpString, text->data(), copied);
    lpString[copied] = '\0';
    return static_cast<UINT>(copied);
}

// Unsigned decimal digits, optionally after spaces; anything else, or a value above
// 4294967295, reads as 0.
extern "C" UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL *lpTranslated, BOOL bSigned)
{
    if (lpTranslated != nullptr)
        *lpTranslated = FALSE;
    const std::string *text = FieldOf(hDlg, nIDDlgItem);
    if (text == nullptr || bSigned)
        return 0;
    const std::optional<std::uint32_t> value = ReadUnsignedField(*text);
    if (!value)
        return 0;
    if (lpTranslated != nullptr)
        *lpTranslated = TRUE;
    return *value;
}

extern "C" BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    std::string *field = FieldOf(hDlg, nIDDlgItem);
    if (field == nullptr)
        return FALSE;
    if (nIDDlgItem == IDC_LISTING && !gBenchWindow.copyListing) {
        gBenchWindow.listingGiven = lpString;
        return TRUE;
    }
    field->assign(lpString);  // the field takes a copy, as a real edit control does
    return TRUE;
}

extern "C" int MessageBoxA(HWND hWnd, LPCSTR, LPCSTR, UINT)
{
    if (hWnd != BenchMainWindow())
        ++gBenchWindow.callsOnOtherWindows;
    ++gBenchWindow.messagesShown;
    return 1;  // IDOK
}
