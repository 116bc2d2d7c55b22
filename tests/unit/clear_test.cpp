#include <gtest/gtest.h>

#include "calculator_fixture.h"

namespace {

TEST_F(CalculatorTest, ClearWithNothingStoredStillEmptiesTheReportAndListing)
{
    Field(IDC_REPORT) = "old report";
    Field(IDC_LISTING) = "old listing";
    ClearAll(Window());

    EXPECT_EQ(Field(IDC_REPORT), "");
    EXPECT_EQ(Field(IDC_LISTING), "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CalculatorTest, ClearForgetsEveryNumberAndLeavesTheTypingFields)
{
    AddAll({"100", "200"});
    ComputeReport(Window());
    Field(IDC_INPUT) = "12";
    Field(IDC_DELETE_INDEX) = "1";

    ClearAll(Window());

    EXPECT_EQ(Field(IDC_REPORT), "");
    EXPECT_EQ(Field(IDC_LISTING), "");
    EXPECT_EQ(Field(IDC_INPUT), "12");
    EXPECT_EQ(Field(IDC_DELETE_INDEX), "1");
    EXPECT_TRUE(Messages().empty());

    Add("3");
    ComputeReport(Window());
    EXPECT_EQ(Field(IDC_LISTING), "(1)3;");
    EXPECT_EQ(Field(IDC_REPORT),
              "和　　=3.000000\r\n平均数=3.000000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000");
}

}  // namespace
