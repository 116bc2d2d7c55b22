#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

#include "calculator_fixture.h"

namespace {

struct AcceptedCase {
    const char *typed;
    double value;

    friend void PrintTo(const AcceptedCase &c, std::ostream *out) { *out << '"' << c.typed << '"'; }
};

class AcceptedNumberTest : public CalculatorTest, public ::testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedNumberTest, IsStoredAndListedAsTyped)
{
    const AcceptedCase &c = GetParam();
    Add("1");
    Field(IDC_REPORT) = "an earlier report";

    Add(c.typed);

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Field(IDC_LISTING), std::string("(1)1;(2)") + c.typed + ";");
    EXPECT_EQ(gSampleState.listingText, Field(IDC_LISTING));
    EXPECT_EQ(Field(IDC_INPUT), "");
    EXPECT_EQ(Field(IDC_REPORT), "an earlier report");
    ASSERT_EQ(gSampleState.samples.count, 2);
    // Bit for bit, so that -0 is told from 0.
    EXPECT_EQ(std::bit_cast<std::uint64_t>(gSampleState.samples.tail->value), std::bit_cast<std::uint64_t>(c.value));
    EXPECT_EQ(gSampleState.runningSum, 1 + c.value);
}

INSTANTIATE_TEST_SUITE_P(Texts, AcceptedNumberTest,
                         ::testing::Values(AcceptedCase{"5", 5}, AcceptedCase{"-12.5", -12.5},
                                           AcceptedCase{".5", 0.5}, AcceptedCase{"-.5", -0.5},
                                           AcceptedCase{"007", 7}, AcceptedCase{"-0", -0.0},
                                           AcceptedCase{"0.000", 0}, AcceptedCase{"3.14159265", 3.14159265},
                                           AcceptedCase{"0.0625", 0.0625},
                                           AcceptedCase{"0.1", 0.1},
                                           AcceptedCase{"9007199254740993", 9007199254740992.0}));

class RejectedNumberTest : public CalculatorTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RejectedNumberTest, ShowsTheInvalidInputMessageAndChangesNothing)
{
    Add("2.5");
    Field(IDC_INPUT) = GetParam();
    const CalculatorSnapshot before = Snapshot();

    AddNumber(Window());

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "对不起，您的输入不合法！");
    CalculatorSnapshot after = Snapshot();
    after.messagesShown = before.messagesShown;
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Texts, RejectedNumberTest,
                         ::testing::Values("", "-", "5.", ".", "1.2.3", "1..", "..5", "1.2.", "--5", "5-",
                                           "5.5-", "-.", "+5", "1e5", " 5", "5 ", "5\r\n", "\t5", "5,5",
                                           "\xD2\xBB", "5\xA3\xAE"));

TEST_F(CalculatorTest, EntriesAreNumberedByTheNewCountAndNeverRewritten)
{
    AddAll({"2.5", "4", "-1"});
    EXPECT_EQ(Field(IDC_LISTING), "(1)2.5;(2)4;(3)-1;");

    Add("1.");  // rejected: the numbering goes on from the stored count
    Add("0010.50");
    EXPECT_EQ(Field(IDC_LISTING), "(1)2.5;(2)4;(3)-1;(4)0010.50;");
    EXPECT_EQ(gSampleState.runningSum, 2.5 + 4 - 1 + 10.5);
}

TEST_F(CalculatorTest, OnlyTheFirst1023BytesOfTheInputCount)
{
    // Cut at 1023 bytes the text is all digits; whole it ends in a space.
    const std::string digits(1023, '1');
    Add(digits + " ");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Field(IDC_LISTING), "(1)" + digits + ";");
    EXPECT_EQ(gSampleState.samples.tail->value, std::numeric_limits<double>::infinity());

    // And a text that is acceptable only past the cut is judged by its first 1023 bytes.
    Add(std::string(1022, '2') + ".5");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "对不起，您的输入不合法！");
}

struct ExtremeCase {
    std::string typed;
    double value;

    friend void PrintTo(const ExtremeCase &c, std::ostream *out)
    {
        *out << c.typed.size() << " bytes: " << c.typed.substr(0, 12) << "...";
    }
};

class ExtremeNumberTest : public CalculatorTest, public ::testing::WithParamInterface<ExtremeCase> {};

// Texts beyond the range of a double still give a definite value.
TEST_P(ExtremeNumberTest, ConvertsToTheNearestDoubleOrItsLimit)
{
    const ExtremeCase &c = GetParam();
    Add(c.typed);
    ASSERT_EQ(gSampleState.samples.count, 1);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(gSampleState.samples.tail->value), std::bit_cast<std::uint64_t>(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExtremeNumberTest,
    ::testing::Values(ExtremeCase{"1" + std::string(309, '0'), std::numeric_limits<double>::infinity()},
                      ExtremeCase{"-1" + std::string(309, '0') + ".5", -std::numeric_limits<double>::infinity()},
                      ExtremeCase{"1" + std::string(308, '0'), 1e308},
                      ExtremeCase{"0." + std::string(319, '0') + "1", 1e-320},
                      ExtremeCase{"0." + std::string(400, '0') + "1", 0.0},
                      ExtremeCase{"-0." + std::string(400, '0') + "1", -0.0},
                      ExtremeCase{"000" + std::string(400, '0') + ".25", 0.25}));

}  // namespace
