#include <gtest/gtest.h>

#include <vector>

#include "calculator_fixture.h"
#include "sample_list.h"

namespace {

// The walk from the sentinel must agree with count and end at tail.
void ExpectConsistent(const SampleList &list)
{
    int32_t walked = 0;
    const SampleNode *last = &list.head;
    for (const SampleNode *node = list.head.next; node != nullptr; node = node->next) {
        last = node;
        ++walked;
    }
    EXPECT_EQ(walked, list.count);
    EXPECT_EQ(last, list.tail);
}

class SampleListTest : public ::testing::Test {
protected:
    void SetUp() override { InitSampleList(list); }
    void TearDown() override { ClearSamples(list); }

    void Fill(const std::vector<double> &values)
    {
        for (double value : values)
            ASSERT_TRUE(AppendSample(list, value));
    }

    SampleList list;
};

struct RemovalCase {
    std::vector<double> stored;
    int32_t position;
    double removed;
    std::vector<double> afterAppendingNine;

    friend void PrintTo(const RemovalCase &c, std::ostream *out)
    {
        *out << "remove position " << c.position << " of " << ::testing::PrintToString(c.stored);
    }
};

class RemoveSampleAtTest : public SampleListTest, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(RemoveSampleAtTest, RemovesThatNumberAndKeepsTheTailRight)
{
    const RemovalCase &c = GetParam();
    Fill(c.stored);

    EXPECT_EQ(RemoveSampleAt(list, c.position), c.removed);
    ExpectConsistent(list);

    // An append shows where the tail was left.
    ASSERT_TRUE(AppendSample(list, 9));
    EXPECT_EQ(StoredValues(list), c.afterAppendingNine);
    ExpectConsistent(list);
}

INSTANTIATE_TEST_SUITE_P(Positions, RemoveSampleAtTest,
                         ::testing::Values(RemovalCase{{1, 2, 3}, 1, 1, {2, 3, 9}},
                                           RemovalCase{{1, 2, 3}, 2, 2, {1, 3, 9}},
                                           RemovalCase{{1, 2, 3}, 3, 3, {1, 2, 9}},
                                           RemovalCase{{4}, 1, 4, {9}}));

TEST_F(SampleListTest, RemovingTheOnlyNumberLeavesAFreshEmptyList)
{
    Fill({4});
    RemoveSampleAt(list, 1);

    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.head.next, nullptr);
    EXPECT_EQ(list.tail, &list.head);
}

TEST_F(SampleListTest, ClearEmptiesAndReportsWhetherThereWasAnythingToClear)
{
    EXPECT_FALSE(ClearSamples(list));
    EXPECT_EQ(list.tail, &list.head);

    Fill({1, 2, 3});
    EXPECT_TRUE(ClearSamples(list));
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.head.next, nullptr);
    EXPECT_EQ(list.tail, &list.head);

    Fill({7});
    EXPECT_EQ(StoredValues(list), std::vector<double>{7});
    ExpectConsistent(list);
}

}  // namespace
