#include "calculator_state.h"

#include <charconv>

SampleState gSampleState;

namespace {

// In the order of the Message enumeration.
const MessageText kMessages[] = {
    {"对不起，您的输入不合法！", "提示", MB_ICONINFORMATION},
    {"向链表中加入数据失败！", "致命错误", MB_ICONERROR},
    {"请先输入数据！", "提示", MB_ICONINFORMATION},
    {"没有这个数！", "错误信息", MB_ICONERROR},
    {"内存不足，操作没有完成！", "致命错误", MB_ICONERROR},
};

}  // namespace

const MessageText &MessageTextOf(Message message)
{
    return kMessages[static_cast<int>(message)];
}

void ShowMessage(HWND window, Message message)
{
    const MessageText &shown = MessageTextOf(message);
    MessageBoxA(window, shown.text, shown.caption, shown.icon);
}

void InitSampleState()
{
    InitSampleList(gSampleState.samples);
    gSampleState.runningSum = 0.0;
    std::string().swap(gSampleState.listingText);
}

void ReleaseSampleState()
{
    ClearSamples(gSampleState.samples);
}

void ClearAll(HWND window)
{
    ClearSamples(gSampleState.samples);
    gSampleState.runningSum = 0.0;
    gSampleState.listingText.clear();
    SetDlgItemTextA(window, IDC_REPORT, "");
    SetDlgItemTextA(window, IDC_LISTING, "");
}

void AppendListingEntry(std::string &listing, int32_t position, std::string_view numberText)
{
    char digits[16];
    char *digitsEnd = std::to_chars(digits, digits + sizeof digits, position).ptr;
    listing += '(';
    listing.append(digits, digitsEnd);
    listing += ')';
    listing += numberText;
    listing += ';';
}
