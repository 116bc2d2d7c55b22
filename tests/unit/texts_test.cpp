#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calculator_fixture.h"
#include "failing_allocation.h"

namespace {

// The texts must be code page 936 bytes; a build without the GBK execution character
// set would leave them UTF-8.
TEST(TextBytes, AreCodePage936)
{
    EXPECT_EQ(std::string(MessageTextOf(Message::InvalidInput).caption), "\xCC\xE1\xCA\xBE");
    EXPECT_EQ(ReportText(1, 1, 0, 0, 0).substr(0, 7), "\xBA\xCD\xA1\xA1\xA1\xA1=");
}

struct MessageCase {
    const char *situation;
    std::function<void(HWND)> provoke;
    const char *text;
    const char *caption;
    UINT flags;

    friend void PrintTo(const MessageCase &c, std::ostream *out) { *out << c.situation; }
};

class MessageTest : public CalculatorTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MessageTest, IsOneBoxOwnedByTheMainWindowWithItsCaptionAndIcon)
{
    Add("1");
    Field(IDC_INPUT) = "2";
    const MessageCase &c = GetParam();
    c.provoke(Window());

    ASSERT_EQ(Messages().size(), 1u) << c.situation;
    EXPECT_EQ(Messages()[0].text, c.text);
    EXPECT_EQ(Messages()[0].caption, c.caption);
    EXPECT_EQ(Messages()[0].flags, c.flags);
    EXPECT_EQ(gFakeWindow.callsOnOtherWindows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Situations, MessageTest,
    ::testing::Values(
        MessageCase{"InvalidInput",
                    [](HWND window) {
                        gFakeWindow.fields[IDC_INPUT] = "1e5";
                        AddNumber(window);
                    },
                    "对不起，您的输入不合法！", "提示", 0x40},
        MessageCase{"NoNodeForTheNumber",
                    [](HWND window) {
                        FailAllocationAfter(0);
                        AddNumber(window);
                        StopFailingAllocations();
                    },
                    "向链表中加入数据失败！", "致命错误", 0x10},
        MessageCase{"NoData",
                    [](HWND window) {
                        ClearAll(window);
                        ComputeReport(window);
                    },
                    "请先输入数据！", "提示", 0x40},
        MessageCase{"NoSuchNumber",
                    [](HWND window) {
                        gFakeWindow.fields[IDC_DELETE_INDEX] = "2";
                        DeleteNumber(window);
                    },
                    "没有这个数！", "错误信息", 0x10},
        MessageCase{"OutOfMemory",
                    [](HWND window) {
                        FailAllocationAfter(0);
                        ComputeReport(window);
                        StopFailingAllocations();
                    },
                    "内存不足，操作没有完成！", "致命错误", 0x10}),
    [](const ::testing::TestParamInfo<MessageCase> &info) { return std::string(info.param.situation); });

}  // namespace
