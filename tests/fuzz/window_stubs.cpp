// The commands' object file refers to the window operations, but the functions fuzzed
// here never reach the window: these only satisfy the linker, and stop the program if
// they are ever called.
#include <cstdio>
#include <cstdlib>

#include "win_api.h"

namespace {

[[noreturn]] void NotReachable(const char *operation)
{
    std::fprintf(stderr, "%s called by a function that must not touch the window\n", operation);
    std::abort();
}

}  // namespace

extern "C" UINT GetDlgItemTextA(HWND, int, LPSTR, int)
{
    NotReachable("GetDlgItemTextA");
}

extern "C" UINT GetDlgItemInt(HWND, int, BOOL *, BOOL)
{
    NotReachable("GetDlgItemInt");
}

extern "C" BOOL SetDlgItemTextA(HWND, int, LPCSTR)
{
    NotReachable("SetDlgItemTextA");
}

extern "C" int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT)
{
    NotReachable("MessageBoxA");
}
