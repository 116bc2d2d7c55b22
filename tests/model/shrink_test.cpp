#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "shrink.h"

namespace {

struct ShrinkCase {
    const char *failure;
    std::function<bool(const std::vector<int> &)> fails;
    std::size_t shortestLength;
};

class ShrinkTest : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ShrinkTest, KeepsOnlyWhatTheFailureNeeds)
{
    std::vector<int> items(100);
    std::iota(items.begin(), items.end(), 0);
    const ShrinkCase &c = GetParam();
    SCOPED_TRACE(c.failure);
    ASSERT_TRUE(c.fails(items));

    const std::vector<int> shrunk = Shrink(items, c.fails);

    EXPECT_TRUE(c.fails(shrunk));
    EXPECT_EQ(shrunk.size(), c.shortestLength);
    EXPECT_TRUE(std::is_sorted(shrunk.begin(), shrunk.end())) << "the order is kept";
    for (std::size_t left = 0; left < shrunk.size(); ++left) {
        std::vector<int> fewer = shrunk;
        fewer.erase(fewer.begin() + static_cast<long>(left));
        EXPECT_FALSE(c.fails(fewer)) << "item " << shrunk[left] << " could go too";
    }
}

bool Holds(const std::vector<int> &items, int item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ShrinkTest,
    ::testing::Values(
        ShrinkCase{"three scattered items",
                   [](const std::vector<int> &items) {
                       return Holds(items, 17) && Holds(items, 42) && Holds(items, 99);
                   },
                   3},
        ShrinkCase{"the first and the last",
                   [](const std::vector<int> &items) { return Holds(items, 0) && Holds(items, 99); },
                   2},
        ShrinkCase{"any five items, 63 among them",
                   [](const std::vector<int> &items) { return items.size() >= 5 && Holds(items, 63); },
                   5},
        ShrinkCase{"every item", [](const std::vector<int> &items) { return items.size() == 100; }, 100}),
    [](const ::testing::TestParamInfo<ShrinkCase> &info) { return "Case" + std::to_string(info.index); });

// Numbers stand for commands, and a smaller number for a simpler form of the command.
TEST(SimplifyTest, LeavesNoItemThatASimplerFormCouldReplace)
{
    const auto fails = [](const std::vector<int> &items) {
        return std::accumulate(items.begin(), items.end(), 0) >= 10;
    };
    const auto simpler = [](int item) {
        return item > 0 ? std::vector<int>{0, item / 2, item - 1} : std::vector<int>{};
    };

    const std::vector<int> simplified = Simplify(std::vector<int>{7, 8, 9}, fails, simpler);

    ASSERT_EQ(simplified.size(), 3u);
    EXPECT_EQ(std::accumulate(simplified.begin(), simplified.end(), 0), 10);
    for (std::size_t at = 0; at < simplified.size(); ++at)
        for (int form : simpler(simplified[at])) {
            std::vector<int> tried = simplified;
            tried[at] = form;
            EXPECT_FALSE(fails(tried)) << "item " << at << " could still become " << form;
        }
}

}  // namespace
