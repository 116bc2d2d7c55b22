#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calculator_fixture.h"

namespace {

struct ReportCase {
    std::vector<std::string> typed;
    const char *report;

    friend void PrintTo(const ReportCase &c, std::ostream *out) { *out << c.typed.size() << " numbers from " << c.typed.front().substr(0, 12); }
};

class ReportTest : public CalculatorTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportTest, ShowsTheFiveFigures)
{
    for (const std::string &typed : GetParam().typed)
        Add(typed);
    CalculatorSnapshot before = Snapshot();

    ComputeReport(Window());

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Field(IDC_REPORT), GetParam().report);
    // Only the report field changes.
    CalculatorSnapshot after = Snapshot();
    after.fields.erase(IDC_REPORT);
    before.fields.erase(IDC_REPORT);
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Series, ReportTest,
    ::testing::Values(
        ReportCase{{"2", "4", "4", "4", "5", "5", "7", "9"},
                   "和　　=40.000000\r\n平均数=5.000000\r\n偏差和=32.000000\r\n标准差=2.000000\r\n方差　=4.000000"},
        ReportCase{{"1.5", "2.5", "3"},
                   "和　　=7.000000\r\n平均数=2.333333\r\n偏差和=1.166667\r\n标准差=0.623610\r\n方差　=0.388889"},
        ReportCase{{"-12.25"},
                   "和　　=-12.250000\r\n平均数=-12.250000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000"},
        ReportCase{{"-1", "-3"},
                   "和　　=-4.000000\r\n平均数=-2.000000\r\n偏差和=2.000000\r\n标准差=1.000000\r\n方差　=1.000000"},
        // A sum beyond the range of a double is infinite, and so is all that follows from it...
        ReportCase{{"17" + std::string(307, '0'), "17" + std::string(307, '0')},
                   "和　　=inf\r\n平均数=inf\r\n偏差和=inf\r\n标准差=inf\r\n方差　=inf"},
        // ...but a number that is itself infinite leaves deviations that are not numbers.
        ReportCase{{"1" + std::string(309, '0'), "1"},
                   "和　　=inf\r\n平均数=inf\r\n偏差和=-nan\r\n标准差=-nan\r\n方差　=-nan"}));

TEST_F(CalculatorTest, ReportWithNothingStoredShowsTheNoDataMessageAndKeepsTheField)
{
    Field(IDC_REPORT) = "an earlier report";
    ComputeReport(Window());

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "请先输入数据！");
    EXPECT_EQ(Field(IDC_REPORT), "an earlier report");
}

TEST_F(CalculatorTest, TheSumIsTheRunningSumNotAFreshOne)
{
    // 1e16 + 1 rounds back to 1e16, so taking 1e16 off again leaves 0, not the 1 still stored.
    AddAll({"10000000000000000", "1"});
    Delete("1");
    ComputeReport(Window());

    EXPECT_EQ(Field(IDC_REPORT),
              "和　　=0.000000\r\n平均数=0.000000\r\n偏差和=1.000000\r\n标准差=1.000000\r\n方差　=1.000000");
}

TEST_F(CalculatorTest, AReportLongerThan1023BytesIsShownWhole)
{
    // Mean near 1e169 with deviations near 2e153: every figure is finite and long.
    const std::string mean = "1" + std::string(169, '0');
    const std::string above = "1" + std::string(15, '0') + "4" + std::string(153, '0');
    AddAll({mean.c_str(), above.c_str()});
    ComputeReport(Window());

    const std::string &report = Field(IDC_REPORT);
    EXPECT_GT(report.size(), 1023u);
    const std::vector<std::string> labels = {"和　　=", "平均数=", "偏差和=", "标准差=", "方差　="};
    std::size_t lineStart = 0;
    for (std::size_t line = 0; line < labels.size(); ++line) {
        const std::size_t lineEnd = std::min(report.find("\r\n", lineStart), report.size());
        const std::string text = report.substr(lineStart, lineEnd - lineStart);
        EXPECT_EQ(text.substr(0, labels[line].size()), labels[line]) << text;
        const std::size_t point = text.find('.');
        ASSERT_NE(point, std::string::npos) << text;
        EXPECT_EQ(text.size() - point, 7u) << "six decimals in " << text;
        EXPECT_GT(point - labels[line].size(), 150u) << "a long figure in " << text;
        lineStart = lineEnd + 2;
    }
    EXPECT_EQ(lineStart, report.size() + 2) << "no line break after the last line";
}

}  // namespace
