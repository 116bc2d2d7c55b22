// Texts the calculator shows, as code page 936 bytes. This file is UTF-8; the driver is built
// with -fexec-charset=GBK so the literals below become the bytes the program's windows hold.
#pragma once

#include <windows.h>

#include <string_view>

namespace e2e {

// Control identifiers of the main window.
enum ControlId : int {
    kNext = 1,
    kClear = 2,
    kCompute = 3,
    kDelete = 4,
    kDeleteIndex = 5,
    kInput = 6,
    kReport = 7,
    kListing = 8,
    kDeleteLabel = 9,
};

struct MessageSpec {
    const char* name;  // for failure reports
    const char* text;
    const char* caption;
    UINT icon;  // MB_ICONINFORMATION or MB_ICONERROR
};

inline constexpr MessageSpec kInvalidInput{"invalid-input message", "对不起，您的输入不合法！", "提示",
                                           MB_ICONINFORMATION};
inline constexpr MessageSpec kNoData{"no-data message", "请先输入数据！", "提示", MB_ICONINFORMATION};
inline constexpr MessageSpec kNoSuchNumber{"no-such-number message", "没有这个数！", "错误信息", MB_ICONERROR};

inline constexpr const char* kClassName = "Quillsparrow";
inline constexpr const char* kCaption = "Ombrelyn";

// Without -fexec-charset=GBK every comparison with the program would fail for a reason that
// has nothing to do with the program; stop the build instead.
static_assert(std::string_view(kNoSuchNumber.caption) == "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2",
              "the e2e driver must be compiled with -fexec-charset=GBK");
static_assert(std::string_view("　") == "\xA1\xA1", "the e2e driver must be compiled with -fexec-charset=GBK");

}  // namespace e2e
