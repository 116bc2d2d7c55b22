// Scenarios at the edges of what the program takes: very long texts, characters and line
// breaks that are no number, values beyond the range of a double, many numbers, positions
// beyond 32 bits.
#include <string>
#include <vector>

#include "harness.h"
#include "scenarios.h"
#include "texts.h"

namespace e2e {

namespace {

std::string Report(const char* sum, const char* mean, const char* squaredDeviations, const char* standardDeviation,
                   const char* variance) {
    return std::string("和　　=") + sum + "\r\n平均数=" + mean + "\r\n偏差和=" + squaredDeviations + "\r\n标准差=" +
           standardDeviation + "\r\n方差　=" + variance;
}

std::string Repeat(const std::string& piece, size_t bytes) {
    std::string out;
    while (out.size() < bytes) out += piece;
    out.resize(bytes);
    return out;
}

// The number texts of a listing "(1)a;(2)b;...", checking that the positions run from 1.
std::vector<std::string> ListingEntries(const std::string& listing) {
    std::vector<std::string> entries;
    size_t at = 0;
    while (at < listing.size()) {
        const std::string prefix = "(" + std::to_string(entries.size() + 1) + ")";
        size_t end = listing.find(';', at);
        if (listing.compare(at, prefix.size(), prefix) != 0 || end == std::string::npos) {
            Fail("listing entry " + std::to_string(entries.size() + 1) + " does not start with " + prefix +
                 " or has no ';': " + Describe(listing.substr(at, 40)));
            return entries;
        }
        entries.push_back(listing.substr(at + prefix.size(), end - at - prefix.size()));
        at = end + 1;
    }
    return entries;
}

// The field must hold the whole text, or the scenario would not test what the program reads.
// Wine's edit control takes seconds over a text of 100,000 bytes, and a window that has not
// answered for 5 s counts as hung, so the length is asked again until the program answers.
void SetWholeText(App& app, int id, const std::string& text) {
    app.setText(id, text);
    size_t held = 0;
    for (int attempt = 0;; ++attempt) {
        try {
            held = app.text(id).size();
            break;
        } catch (const Fatal&) {
            if (attempt == 60 || WaitForSingleObject(app.process(), 0) == WAIT_OBJECT_0) throw;
            Sleep(1000);
        }
    }
    if (held != text.size()) {
        throw Fatal("the field holds " + std::to_string(held) + " bytes of a " + std::to_string(text.size()) +
                    "-byte text");
    }
}

// ---- long input texts -----------------------------------------------------------------------

void InputHuge(const std::string& exe) {
    // 1022 zeros and a 5 are the bytes read; the 98,977 nines after them would make the value
    // infinite if they were read too.
    const std::string digitsKept = std::string(1022, '0') + "5";
    const std::string digits = digitsKept + std::string(100000 - 1023, '9');
    // 1023 digits, then what would be rejected: signs, points, letters, GBK characters, line breaks.
    const std::string garbageKept = std::string(1013, '0') + "1234567890";
    const std::string garbage = garbageKept + Repeat("x.-一５ \r\n+e", 100000 - 1023);
    App app(exe);
    {
        Step step("100,000 digits");
        SetWholeText(app, kInput, digits);
        app.click(kNext);
        CheckText("input field is emptied", "", app.text(kInput));
        CheckText("listing holds the first 1023 bytes", "(1)" + digitsKept + ";", app.text(kListing));
    }
    {
        Step step("1023 digits, then garbage to 100,000 bytes");
        SetWholeText(app, kInput, garbage);
        app.click(kNext);
        CheckText("listing holds the first 1023 bytes",
                  "(1)" + digitsKept + ";(2)" + garbageKept + ";", app.text(kListing));
    }
    Step step("after the long texts");
    app.deleteAt("1");
    CheckText("the second number was read from its first 1023 bytes", "(1)1234567890;", app.text(kListing));
    // 5 + 1234567890 - 5: the first number was read as 5.
    app.compute();
    CheckText("report", Report("1234567890.000000", "1234567890.000000", "0.000000", "0.000000", "0.000000"),
              app.text(kReport));
    CheckNumber("exit code", 0, app.closeAndWait(WM_CLOSE, 0));
}

void Input1024(const std::string& exe) {
    struct Row {
        const char* what;
        std::string typed;
        bool accepted;
        std::string listed;  // entry text when accepted
    };
    const Row rows[] = {
        {"1023 digits", std::string(1018, '0') + "12345", true, std::string(1018, '0') + "12345"},
        {"1023 digits and an x", std::string(1022, '0') + "7x", true, std::string(1022, '0') + "7"},
        {"1022 digits, a point and a 5: the cut leaves a trailing point", std::string(1022, '0') + ".5", false, ""},
        {"1021 digits, a point and a 5", std::string(1021, '0') + ".5", true, std::string(1021, '0') + ".5"},
        {"1022 digits and an x in the 1023rd byte", std::string(1022, '0') + "x", false, ""},
        // Read as -2 when cut at 1023 bytes, as -25 when not.
        {"a minus, 1021 zeros, a 2 and a 5 in the 1024th byte", "-" + std::string(1021, '0') + "25", true,
         "-" + std::string(1021, '0') + "2"},
    };
    App app(exe);
    std::string listing;
    int count = 0;
    for (const Row& row : rows) {
        Step step(row.what);
        SetWholeText(app, kInput, row.typed);
        if (row.accepted) {
            app.click(kNext);
            listing += "(" + std::to_string(++count) + ")" + row.listed + ";";
            CheckText("input field is emptied", "", app.text(kInput));
        } else {
            app.clickExpectingMessage(kNext, kInvalidInput);
            CheckText("input field keeps the text", row.typed, app.text(kInput));
        }
        CheckText("listing", listing, app.text(kListing));
    }
    // 12345 + 7 + 0.5 - 2
    app.compute();
    CheckText("report of the values read",
              Report("12350.500000", "3087.625000", "114265365.687500", "5344.748958", "28566341.421875"),
              app.text(kReport));
    Step step("re-rendered after deleting the last");
    app.deleteAt("4");
    CheckText("listing", "(1)12345;(2)7;(3)0.5;", app.text(kListing));
}

// ---- beyond the range of a double -----------------------------------------------------------

void Overflow(const std::string& exe) {
    const std::string big = "17" + std::string(307, '0');
    const std::string negativeBig = "-" + big;
    struct Row {
        const char* what;
        std::vector<std::string> numbers;
        std::string report;
    };
    const Row rows[] = {
        {"two numbers near 1e308: the sum overflows", {big, big}, Report("inf", "inf", "inf", "inf", "inf")},
        {"two numbers near -1e308", {negativeBig, negativeBig}, Report("-inf", "-inf", "inf", "inf", "inf")},
        {"1.7e308 and -1.7e308: only the squared deviations overflow",
         {big, negativeBig},
         Report("0.000000", "0.000000", "inf", "inf", "inf")},
        // 1170 bytes, every figure finite and printed with all its digits.
        {"a finite report longer than 1024 bytes",
         {"9999993000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000", "10000007000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"},
         Report("20000000000000000130568154901364531136913284297772534236897689091041023555676362285020675019977734071632684940374351570387500235297087060712369097300876562792448.000000", "10000000000000000065284077450682265568456642148886267118448844545520511777838181142510337509988867035816342470187175785193750117648543530356184548650438281396224.000000", "97999999990815675663327915161279828937977685416517199078566273644988767565702597853287083660209543676684922418064365325750223907836249121196633659040812677410306500095652073784573917791487303540433651088126915865974205281972729707688968370541178397005973906114464516286753329233115075536768474231077737594880.000000", "6999999999671988404184074447950015763113730651318149242840047534881576502310162133775640083001024995888944284070747996510558968196155921328380542088904704.000000", "48999999995407837831663957580639914468988842708258599539283136822494383782851298926643541830104771838342461209032182662875111953918124560598316829520406338705153250047826036892286958895743651770216825544063457932987102640986364853844484185270589198502986953057232258143376664616557537768384237115538868797440.000000")},
    };
    for (const Row& row : rows) {
        Step step(row.what);
        App app(exe);
        for (const std::string& number : row.numbers) app.addNumber(number);
        app.compute();
        CheckText("report", row.report, app.text(kReport));
        CheckNumber("exit code", 0, app.closeAndWait(WM_CLOSE, 0));
    }
}

void BeyondRange(const std::string& exe) {
    struct Row {
        std::string typed;
        const char* compact;  // after a deletion
    };
    const Row rows[] = {
        {"1" + std::string(309, '0'), "inf"},
        {"-" + std::string(310, '9'), "-inf"},
        // The largest finite double, and the smallest text above it that rounds to infinity.
        {"179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368", "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368"},
        {"17976931348623158" + std::string(292, '0'), "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368"},
        {"17976931348623159" + std::string(292, '0'), "inf"},
        // 1e-320, a subnormal, and texts below the smallest subnormal.
        {"0." + std::string(319, '0') + "1", "0"},
        {"-0." + std::string(319, '0') + "1", "-0"},
        {"0." + std::string(400, '0') + "1", "0"},
        {"-." + std::string(400, '0') + "1", "-0"},
    };
    App app(exe);
    app.addNumber("1");
    std::string typedListing = "(1)1;";
    std::string compactListing;
    int position = 1;
    for (const Row& row : rows) {
        Step step("typed " + Describe(row.typed.substr(0, 24)) + "...");
        app.addNumber(row.typed);
        ++position;
        typedListing += "(" + std::to_string(position) + ")" + row.typed + ";";
        compactListing += "(" + std::to_string(position - 1) + ")" + row.compact + ";";
        CheckText("listed as typed", typedListing, app.text(kListing));
    }
    Step step("delete 1");
    app.deleteAt("1");
    CheckText("listing re-rendered compact", compactListing, app.text(kListing));
    CheckNumber("exit code", 0, app.closeAndWait(WM_CLOSE, 0));
}

// ---- many numbers ---------------------------------------------------------------------------

void ManyNumbers(const std::string& exe) {
    // Mean 5 and variance 4, repeated 125 times: every statistic is exact in doubles.
    const char* const pattern[] = {"2", "4", "4", "4", "5", "5", "7", "9"};
    // Every number makes the program set the whole listing, which Wine's edit control lays
    // out at a cost that grows faster than the listing's length: past about 2,000 numbers one
    // more takes seconds.
    constexpr int kCount = 1000;
    App app(exe);
    // Wine's edit control re-wraps the whole listing on every change at a cost that grows
    // faster than its length; a wide field needs far fewer lines. The program still sets the
    // whole listing on every number.
    SetWindowPos(app.control(kListing), nullptr, 0, 0, 30000, 114, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<std::string> expected;
    for (int i = 0; i < kCount; ++i) {
        const char* number = pattern[i % 8];
        app.setText(kInput, number);
        app.click(kNext);
        expected.push_back(number);
    }
    auto checkListing = [&](const char* what) {
        std::vector<std::string> entries = ListingEntries(app.text(kListing));
        if (!CheckNumber(std::string(what) + ": number of entries", static_cast<long long>(expected.size()),
                         static_cast<long long>(entries.size())))
            return;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!CheckText(std::string(what) + ": entry " + std::to_string(i + 1), expected[i], entries[i])) return;
        }
    };
    checkListing("after entering");
    app.compute();
    CheckText("report", Report("5000.000000", "5.000000", "4000.000000", "2.000000", "4.000000"), app.text(kReport));

    {
        Step step("positions beyond the count and beyond 32 bits, typed");
        const std::string listing = app.text(kListing);
        for (const char* position : {"1001", "2147483648", "4294967296", "4294967297", "4294968296"}) {
            Step inner(position);
            app.setText(kDeleteIndex, "");
            app.type(kDeleteIndex, position);
            CheckText("position field holds the digits", position, app.text(kDeleteIndex));
            app.clickExpectingMessage(kDelete, kNoSuchNumber);
            CheckText("listing unchanged", listing, app.text(kListing));
        }
    }
    // Values 2 (first), 4 (middle: position 499 once the first is gone) and 9 (last): the mean stays 5.
    struct Deletion {
        const char* position;
        size_t index;
    };
    for (const Deletion& deletion : {Deletion{"1", 0}, Deletion{"499", 498}, Deletion{"998", 997}}) {
        Step step(std::string("delete ") + deletion.position);
        app.deleteAt(deletion.position);
        expected.erase(expected.begin() + static_cast<long>(deletion.index));
        checkListing("after deleting");
    }
    app.compute();
    CheckText("report after the deletions", Report("4985.000000", "5.000000", "3974.000000", "1.996486", "3.985958"),
              app.text(kReport));
    CheckNumber("exit code", 0, app.closeAndWait(WM_CLOSE, 0));
}

}  // namespace

const Scenario* ExtremeScenarios(int* count) {
    static const Scenario scenarios[] = {
        {"input-huge", InputHuge, "100,000-byte input texts are read by their first 1023 bytes"},
        {"input-1024", Input1024, "texts of 1023 and 1024 bytes: the 1024th byte is cut off"},
        {"overflow", Overflow, "reports with infinite figures and a finite report over 1024 bytes"},
        {"beyond-range", BeyondRange, "numbers beyond the range of a double and below its subnormals"},
        {"many-numbers", ManyNumbers, "a thousand numbers, typed positions beyond 32 bits, deletions"},
    };
    *count = static_cast<int>(sizeof scenarios / sizeof scenarios[0]);
    return scenarios;
}

}  // namespace e2e
