// The four window operations the calculator core uses, and the types they need.
// On Windows they come from <windows.h>; on other hosts (the unit tests) they are
// declared here with their Win32 parameter lists and supplied by a fake window.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
struct HWND__;
typedef HWND__ *HWND;
typedef unsigned int UINT;
typedef int BOOL;
typedef char *LPSTR;
typedef const char *LPCSTR;

#define FALSE 0
#define TRUE 1

#define MB_ICONERROR 0x00000010L
#define MB_ICONINFORMATION 0x00000040L

extern "C" {
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL *lpTranslated, BOOL bSigned);
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
}
#endif
