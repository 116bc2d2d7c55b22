#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "calculator_fixture.h"

namespace {

struct CompactCase {
    double value;
    const char *compact;

    friend void PrintTo(const CompactCase &c, std::ostream *out) { *out << '"' << c.compact << '"'; }
};

class CompactNumberTextTest : public ::testing::TestWithParam<CompactCase> {};

TEST_P(CompactNumberTextTest, DropsTrailingZerosAndABarePoint)
{
    EXPECT_EQ(CompactNumberText(GetParam().value).view(), GetParam().compact);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CompactNumberTextTest,
    ::testing::Values(CompactCase{2.5, "2.5"}, CompactCase{10, "10"}, CompactCase{0, "0"}, CompactCase{-0.0, "-0"},
                      CompactCase{-3, "-3"}, CompactCase{100.25, "100.25"}, CompactCase{3.14159265, "3.141593"},
                      CompactCase{0.0000001, "0"}, CompactCase{-0.0000001, "-0"}, CompactCase{120, "120"},
                      CompactCase{0.0000006, "0.000001"}, CompactCase{1e20, "100000000000000000000"},
                      CompactCase{std::numeric_limits<double>::infinity(), "inf"},
                      CompactCase{-std::numeric_limits<double>::infinity(), "-inf"}));

TEST_F(CalculatorTest, DeletingRenumbersAndRerendersEveryEntry)
{
    AddAll({"007", "2.50", ".5"});
    EXPECT_EQ(Field(IDC_LISTING), "(1)007;(2)2.50;(3).5;");
    Field(IDC_REPORT) = "an earlier report";

    Delete("2");

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Field(IDC_LISTING), "(1)7;(2)0.5;");
    EXPECT_EQ(gSampleState.listingText, Field(IDC_LISTING));
    EXPECT_EQ(gSampleState.runningSum, 7 + 2.5 + 0.5 - 2.5);
    EXPECT_EQ(Field(IDC_DELETE_INDEX), "2");
    EXPECT_EQ(Field(IDC_REPORT), "an earlier report");

    // A number added afterwards is listed as typed, after the rebuilt entries.
    Add("4.0");
    EXPECT_EQ(Field(IDC_LISTING), "(1)7;(2)0.5;(3)4.0;");
}

TEST_F(CalculatorTest, DeletingRendersWithSixDecimalsAtMost)
{
    AddAll({"3.14159265", "1"});
    Delete("2");
    EXPECT_EQ(Field(IDC_LISTING), "(1)3.141593;");
}

TEST_F(CalculatorTest, DeletingTheLastPositionFreesItForTheNextNumber)
{
    AddAll({"1", "2", "3"});
    Delete("3");
    Add("8");
    EXPECT_EQ(Field(IDC_LISTING), "(1)1;(2)2;(3)8;");
    EXPECT_EQ(StoredValues(gSampleState.samples), (std::vector<double>{1, 2, 8}));
}

TEST_F(CalculatorTest, DeletingTheOnlyNumberLeavesNothingStored)
{
    Add("5");
    Delete("1");
    EXPECT_EQ(Field(IDC_LISTING), "");
    EXPECT_EQ(gSampleState.samples.count, 0);

    DeleteNumber(Window());
    ComputeReport(Window());
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0].text, "请先输入数据！");
    EXPECT_EQ(Messages()[1].text, "请先输入数据！");
}

class ImpossiblePositionTest : public CalculatorTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ImpossiblePositionTest, ShowsTheNoSuchNumberMessageAndChangesNothing)
{
    AddAll({"1", "2", "3"});
    Field(IDC_DELETE_INDEX) = GetParam();
    const CalculatorSnapshot before = Snapshot();

    DeleteNumber(Window());

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "没有这个数！");
    CalculatorSnapshot after = Snapshot();
    after.messagesShown = before.messagesShown;
    EXPECT_EQ(after, before);
}

// Typed values above 2147483647 read as negative; above 4294967295, or unreadable, as 0.
INSTANTIATE_TEST_SUITE_P(Positions, ImpossiblePositionTest,
                         ::testing::Values("0", "", "4", "2147483647", "2147483648", "4294967295", "4294967296",
                                           "4294967299", "x"));

TEST_F(CalculatorTest, DeletingWithNothingStoredShowsTheNoDataMessageWhateverThePosition)
{
    for (const char *position : {"1", "0", ""}) {
        ResetFakeWindow();
        Delete(position);
        ASSERT_EQ(Messages().size(), 1u) << position;
        EXPECT_EQ(Messages()[0].text, "请先输入数据！");
    }
}

}  // namespace

namespace {

TEST_F(CalculatorTest, AThousandsLongSeriesKeepsItsOrderThroughDeletions)
{
    const char *const pattern[] = {"2", "4", "4", "4", "5", "5", "7", "9"};
    std::vector<std::string> expected;
    for (int k = 0; k < 5000; ++k) {
        Add(pattern[k % 8]);
        expected.push_back(pattern[k % 8]);
    }
    ComputeReport(Window());
    EXPECT_EQ(Field(IDC_REPORT),
              "和　　=25000.000000\r\n平均数=5.000000\r\n偏差和=20000.000000\r\n标准差=2.000000\r\n方差　=4.000000");

    for (const char *position : {"1", "2500", "4998"}) {
        Delete(position);
        expected.erase(expected.begin() + (std::stoi(position) - 1));
    }
    ASSERT_TRUE(Messages().empty());
    std::string listing;
    for (std::size_t k = 0; k < expected.size(); ++k)
        listing += "(" + std::to_string(k + 1) + ")" + expected[k] + ";";
    EXPECT_EQ(Field(IDC_LISTING), listing);
    EXPECT_EQ(gSampleState.samples.count, 4997);

    ComputeReport(Window());
    EXPECT_EQ(Field(IDC_REPORT).substr(0, Field(IDC_REPORT).find("\r\n")), "和　　=24984.000000");
}

}  // namespace
