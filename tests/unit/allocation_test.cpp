#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calculator_fixture.h"
#include "failing_allocation.h"

namespace {

struct AllocatingCommand {
    const char *name;
    std::function<void(HWND)> run;
    const char *failureText;

    friend void PrintTo(const AllocatingCommand &c, std::ostream *out) { *out << c.name; }
};

class AllocationFailureTest : public CalculatorTest, public ::testing::WithParamInterface<AllocatingCommand> {};

// Each allocation the command makes fails in turn: the command must then change
// nothing and say so once, and work when run again.
TEST_P(AllocationFailureTest, LeavesEverythingAsItWasAtEveryAllocation)
{
    const AllocatingCommand &command = GetParam();
    // Long enough that the listing has to grow on the heap.
    AddAll({"1.25", "-3", "4000000000000000000000", "0.0000001"});
    Field(IDC_INPUT) = std::string(40, '9') + ".5";
    Field(IDC_DELETE_INDEX) = "2";

    long failingAllocation = 0;
    for (;; ++failingAllocation) {
        const CalculatorSnapshot before = Snapshot();
        FailAllocationAfter(failingAllocation);
        command.run(Window());
        StopFailingAllocations();
        if (!AllocationFailed())
            break;

        CalculatorSnapshot after = Snapshot();
        ASSERT_EQ(after.messagesShown, before.messagesShown + 1) << "allocation " << failingAllocation;
        EXPECT_EQ(Messages().back().text, command.failureText);
        EXPECT_EQ(Messages().back().flags, static_cast<UINT>(MB_ICONERROR));
        after.messagesShown = before.messagesShown;
        ASSERT_EQ(after, before) << "allocation " << failingAllocation;
    }
    EXPECT_GT(failingAllocation, 0) << command.name << " allocates nothing, so nothing was tested";
    EXPECT_EQ(Messages().size(), static_cast<std::size_t>(failingAllocation)) << "the last run succeeds quietly";

    // Then the command and the others go on normally.
    Add("2");
    ComputeReport(Window());
    EXPECT_NE(Field(IDC_REPORT), "");
    EXPECT_EQ(Messages().size(), static_cast<std::size_t>(failingAllocation));
}

INSTANTIATE_TEST_SUITE_P(Commands, AllocationFailureTest,
                         ::testing::Values(AllocatingCommand{"AddNumber", AddNumber, "向链表中加入数据失败！"},
                                           AllocatingCommand{"DeleteNumber", DeleteNumber,
                                                             "内存不足，操作没有完成！"},
                                           AllocatingCommand{"ComputeReport", ComputeReport,
                                                             "内存不足，操作没有完成！"}),
                         [](const ::testing::TestParamInfo<AllocatingCommand> &info) { return info.param.name; });

}  // namespace
