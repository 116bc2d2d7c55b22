// Closing the window with numbers stored frees every one of them. The memcheck_closing
// test runs this alone under valgrind, and the asan build runs it with leak checking,
// so a node left allocated is reported as lost memory; and the listing text, left as it
// was, must not count as a leak, being freed by static destruction at exit.
#include <gtest/gtest.h>

#include <string>

#include "calculator_fixture.h"

namespace {

class ClosingTest : public CalculatorTest {};

TEST_F(ClosingTest, ReleasingTheStateFreesEveryStoredNumber)
{
    AddAll({"1", "2.5", "-3", "0.0625", "007", "-0", "123456789012345678901234567890"});
    Delete("2");  // a rebuilt listing, on the heap
    Add("4");
    ASSERT_EQ(gSampleState.samples.count, 7);
    ASSERT_GT(gSampleState.listingText.capacity(), 15u) << "the listing must live on the heap to be checked";

    ReleaseSampleState();

    // Nothing freed may stay linked.
    EXPECT_EQ(gSampleState.samples.count, 0);
    EXPECT_EQ(gSampleState.samples.head.next, nullptr);
    EXPECT_EQ(gSampleState.samples.tail, &gSampleState.samples.head);
}

}  // namespace
