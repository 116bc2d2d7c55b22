#include "scenarios.h"

#include <iterator>
#include <vector>

#include "harness.h"
#include "texts.h"

namespace e2e {

namespace {

constexpr const char* kExampleReport =
    "和　　=40.000000\r\n平均数=5.000000\r\n偏差和=32.000000\r\n标准差=2.000000\r\n方差　=4.000000";

int LineCount(const App& app, int id) {
    DWORD_PTR lines = 0;
    SendMessageTimeoutA(app.control(id), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 30000, &lines);
    return static_cast<int>(lines);
}

void AddAll(App& app, const std::vector<const char*>& numbers) {
    for (const char* number : numbers) {
        Step step(std::string("add ") + number);
        app.addNumber(number);
    }
}

// ---- layout and typing ----------------------------------------------------------------------

struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD style;
};

// In creation order, which is also the order Wine's GW_CHILD / GW_HWNDNEXT walk gives.
const ControlSpec kControls[] = {
    {kNext, "Button", "下一个数", 4, 26, 70, 30, 0x50000001},
    {kCompute, "Button", "计算", 78, 26, 70, 30, 0x50000001},
    {kClear, "Button", "清空", 152, 142, 88, 30, 0x50000001},
    {kDelete, "Button", "删除这个数", 244, 142, 88, 30, 0x50000001},
    {kDeleteIndex, "Edit", "", 292, 122, 40, 16, 0x50002084},
    {kInput, "Edit", "", 4, 4, 144, 16, 0x50000084},
    {kReport, "Edit", "", 4, 64, 144, 108, 0x509008C4},
    {kListing, "Edit", "", 152, 4, 180, 114, 0x50A00844},
    {kDeleteLabel, "Static", "要删除数据的编号：", 152, 122, 136, 16, 0x50000000},
};

// Wine's edit control takes WS_BORDER out of its stored style and draws the border itself, so
// for edits the bit is checked on the screen: a bordered field's edge differs from its inside.
bool ShowsBorder(HWND edit) {
    Pixels pixels = CaptureWindow(edit);
    if (pixels.width < 3 || pixels.height < 3) return false;
    uint32_t inside = pixels.at(pixels.width / 2, pixels.height / 2);
    return pixels.at(pixels.width / 2, 0) != inside && pixels.at(0, pixels.height / 2) != inside;
}

// Wine's default scheme gives the menu and the window colour the same white; for the layout
// check the menu gets a colour of its own. Programs started afterwards pick it up.
constexpr uint32_t kMenuColour = 0x4080C0;  // 0xRRGGBB

class MenuColourOverride {
public:
    MenuColourOverride() : saved_(GetSysColor(COLOR_MENU)) { Set(RGB(0x40, 0x80, 0xC0)); }
    ~MenuColourOverride() { Set(saved_); }
    MenuColourOverride(const MenuColourOverride&) = delete;
    MenuColourOverride& operator=(const MenuColourOverride&) = delete;

private:
    static void Set(COLORREF colour) {
        const INT element = COLOR_MENU;
        SetSysColors(1, &element, &colour);
    }
    COLORREF saved_;
};

void Layout(const std::string& exe) {
    MenuColourOverride menuColour;
    App app(exe);
    HWND main = app.main();
    {
        Step step("main window");
        char className[64] = "";
        GetClassNameA(main, className, sizeof className);
        CheckText("class", kClassName, className);
        char caption[256] = "";
        GetWindowTextA(main, caption, sizeof caption);
        CheckText("caption", kCaption, caption);
        RECT rect;
        GetWindowRect(main, &rect);
        CheckNumber("outer width", 348, rect.right - rect.left);
        CheckNumber("outer height", 208, rect.bottom - rect.top);
        // Windows adds WS_CLIPSIBLINGS and WS_EX_WINDOWEDGE to such a window; those are not judged.
        constexpr DWORD kJudged = WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_THICKFRAME | WS_MINIMIZEBOX |
                                  WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE |
                                  WS_HSCROLL | WS_VSCROLL;
        CheckHex("style bits (caption, system menu, visible; no sizing border, no minimise or maximise box)",
                 WS_CAPTION | WS_SYSMENU | WS_VISIBLE, GetWindowLongA(main, GWL_STYLE) & kJudged);
        CheckHex("extended style apart from WS_EX_WINDOWEDGE", 0,
                 GetWindowLongA(main, GWL_EXSTYLE) & ~static_cast<DWORD>(WS_EX_WINDOWEDGE));
        // The class brush is COLOR_MENU + 1: the client area shows the menu colour.
        POINT corner{1, 1};
        MapWindowPoints(main, nullptr, &corner, 1);
        RECT window;
        GetWindowRect(main, &window);
        uint32_t shown = CaptureWindow(main).at(corner.x - window.left, corner.y - window.top);
        CheckHex("client background (the menu colour)", kMenuColour, shown);
    }

    HWND child = GetWindow(main, GW_CHILD);
    for (const ControlSpec& expected : kControls) {
        Step step("control " + std::to_string(expected.id) + " " + Describe(expected.text));
        if (!Check(child != nullptr, "the control exists in this place of the creation order")) return;
        CheckNumber("id", expected.id, GetWindowLongA(child, GWL_ID));
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        Check(_stricmp(className, expected.className) == 0,
              std::string("class: expected ") + expected.className + ", actual " + className);
        char text[256] = "";
        SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        CheckText("text", expected.text, text);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        CheckNumber("x", expected.x, rect.left);
        CheckNumber("y", expected.y, rect.top);
        CheckNumber("width", expected.width, rect.right - rect.left);
        CheckNumber("height", expected.height, rect.bottom - rect.top);
        DWORD style = GetWindowLongA(child, GWL_STYLE);
        if (_stricmp(expected.className, "Edit") == 0) {
            CheckHex("style without WS_BORDER", expected.style & ~WS_BORDER, style & ~WS_BORDER);
            bool wanted = (expected.style & WS_BORDER) != 0;
            Check(ShowsBorder(child) == wanted, wanted ? "the field shows a border" : "the field shows no border");
        } else {
            CheckHex("style", expected.style, style);
        }
        CheckHex("extended style", 0, GetWindowLongA(child, GWL_EXSTYLE));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    Check(child == nullptr, "no further child windows after the nine controls");

    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (Check(GetGUIThreadInfo(app.threadId(), &info) != 0, "GetGUIThreadInfo of the program's thread")) {
        for (const ControlSpec& expected : kControls) {
            Check(info.hwndFocus != GetDlgItem(main, expected.id),
                  "control " + std::to_string(expected.id) + " does not have the focus at start");
        }
    }
}

void Typing(const std::string& exe) {
    App app(exe);
    app.type(kDeleteIndex, "4x2-.");
    CheckText("the position field takes digits only", "42", app.text(kDeleteIndex));
    app.type(kInput, "-1.5a");
    CheckText("the input field takes any character", "-1.5a", app.text(kInput));
    // Typing runs no command.
    CheckText("listing after typing", "", app.text(kListing));
    CheckText("report after typing", "", app.text(kReport));
}

// ---- adding numbers -------------------------------------------------------------------------

void AddAccepted(const std::string& exe) {
    struct Row {
        const char* typed;
        const char* listing;
    };
    // Entries show the text exactly as typed.
    const Row rows[] = {
        {"5", "(1)5;"},
        {"-12.5", "(1)5;(2)-12.5;"},
        {".5", "(1)5;(2)-12.5;(3).5;"},
        {"-.5", "(1)5;(2)-12.5;(3).5;(4)-.5;"},
        {"007", "(1)5;(2)-12.5;(3).5;(4)-.5;(5)007;"},
        {"-0", "(1)5;(2)-12.5;(3).5;(4)-.5;(5)007;(6)-0;"},
        {"0.000", "(1)5;(2)-12.5;(3).5;(4)-.5;(5)007;(6)-0;(7)0.000;"},
        {"3.14159265", "(1)5;(2)-12.5;(3).5;(4)-.5;(5)007;(6)-0;(7)0.000;(8)3.14159265;"},
        {"0.0625", "(1)5;(2)-12.5;(3).5;(4)-.5;(5)007;(6)-0;(7)0.000;(8)3.14159265;(9)0.0625;"},
    };
    App app(exe);
    for (const Row& row : rows) {
        Step step("typed " + Describe(row.typed));
        app.addNumber(row.typed);
        CheckText("input field is emptied", "", app.text(kInput));
        CheckText("listing", row.listing, app.text(kListing));
        CheckText("report field is not touched", "", app.text(kReport));
    }
    Check(LineCount(app, kListing) > 1, "the listing field wraps the long listing");
    // The values the texts were read as: 5 - 12.5 + 0.5 - 0.5 + 7 - 0 + 0 + 3.14159265 + 0.0625.
    app.compute();
    CheckText("report of the numbers as read",
              "和　　=2.704093\r\n平均数=0.300455\r\n偏差和=239.811053\r\n标准差=5.161945\r\n方差　=26.645673",
              app.text(kReport));
}

void AddLong(const std::string& exe) {
    // Only the first 1023 bytes are read: here 1022 zeros and a 5; the rest would be rejected.
    const std::string kept = std::string(1022, '0') + "5";
    App app(exe);
    app.addNumber(kept + "x.y");
    CheckText("listing holds the first 1023 bytes", "(1)" + kept + ";", app.text(kListing));
    app.compute();
    CheckText("report", "和　　=5.000000\r\n平均数=5.000000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000",
              app.text(kReport));
}

void AddRejected(const std::string& exe) {
    const char* const rejected[] = {
        "",    "-",   ".",   "5.",   "1.2.3", "1..",    "..5",  "1.2.", "--5", "5-",
        "5.5-", "+5", "1e5", " 5",   "5 ",    "5\r\n",  "\t5",  "1,5",
        // Characters of more than one byte, and line breaks anywhere.
        "５", "一", "5５", "５5", "-５", "5.５", "5一", "一5", "5。5", "－5", "\n5", "5\n", "\r5", "5\r\n5",
    };
    App app(exe);
    app.addNumber("1");
    for (const char* typed : rejected) {
        Step step("typed " + Describe(typed));
        app.setText(kInput, typed);
        app.clickExpectingMessage(kNext, kInvalidInput);
        CheckText("input field keeps the text", typed, app.text(kInput));
        CheckText("listing unchanged", "(1)1;", app.text(kListing));
    }
    // Neither the count nor the sum moved: the next number is the second, and the sum is 3.
    Step step("after the rejected texts");
    app.addNumber("2");
    CheckText("listing", "(1)1;(2)2;", app.text(kListing));
    app.compute();
    CheckText("report", "和　　=3.000000\r\n平均数=1.500000\r\n偏差和=0.500000\r\n标准差=0.500000\r\n方差　=0.250000",
              app.text(kReport));
}

// ---- report ---------------------------------------------------------------------------------

void Report(const std::string& exe) {
    struct Row {
        std::vector<const char*> numbers;
        const char* report;
    };
    const Row rows[] = {
        {{"2", "4", "4", "4", "5", "5", "7", "9"}, kExampleReport},
        {{"1.5", "2.5", "3"},
         "和　　=7.000000\r\n平均数=2.333333\r\n偏差和=1.166667\r\n标准差=0.623610\r\n方差　=0.388889"},
        {{"-1", "-3"}, "和　　=-4.000000\r\n平均数=-2.000000\r\n偏差和=2.000000\r\n标准差=1.000000\r\n方差　=1.000000"},
        {{"3.5"}, "和　　=3.500000\r\n平均数=3.500000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000"},
        // Lines wider than the field: it scrolls instead of wrapping.
        {{"123456789012"},
         "和　　=123456789012.000000\r\n平均数=123456789012.000000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n"
         "方差　=0.000000"},
    };
    for (const Row& row : rows) {
        Step step(std::string("numbers starting ") + row.numbers.front());
        App app(exe);
        AddAll(app, row.numbers);
        app.compute();
        CheckText("report", row.report, app.text(kReport));
        CheckNumber("report lines", 5, LineCount(app, kReport));
    }
}

void ReportEmpty(const std::string& exe) {
    App app(exe);
    app.clickExpectingMessage(kCompute, kNoData);
    CheckText("report field", "", app.text(kReport));
}

void ReportStale(const std::string& exe) {
    const char* const first = "和　　=6.000000\r\n平均数=3.000000\r\n偏差和=2.000000\r\n标准差=1.000000\r\n方差　=1.000000";
    App app(exe);
    AddAll(app, {"2", "4"});
    app.compute();
    CheckText("report of 2, 4", first, app.text(kReport));
    {
        Step step("add 6");
        app.addNumber("6");
        CheckText("report keeps the earlier report", first, app.text(kReport));
    }
    {
        Step step("delete 1");
        app.deleteAt("1");
        CheckText("report keeps the earlier report", first, app.text(kReport));
    }
    app.compute();
    CheckText("report of 4, 6", "和　　=10.000000\r\n平均数=5.000000\r\n偏差和=2.000000\r\n标准差=1.000000\r\n方差　=1.000000",
              app.text(kReport));
}

// ---- deleting -------------------------------------------------------------------------------

void Delete(const std::string& exe) {
    enum class Action { Add, Delete };
    struct Row {
        Action action;
        const char* argument;
        const char* listing;
    };
    const Row rows[] = {
        {Action::Add, "007", "(1)007;"},
        {Action::Add, "2.50", "(1)007;(2)2.50;"},
        {Action::Add, ".5", "(1)007;(2)2.50;(3).5;"},
        // Every remaining entry is rendered anew from its value, not only the later ones.
        {Action::Delete, "2", "(1)7;(2)0.5;"},
        {Action::Add, "4.0", "(1)7;(2)0.5;(3)4.0;"},
        // Deleting the last number: the next one takes its position.
        {Action::Delete, "3", "(1)7;(2)0.5;"},
        {Action::Add, "9", "(1)7;(2)0.5;(3)9;"},
        {Action::Delete, "1", "(1)0.5;(2)9;"},
    };
    App app(exe);
    for (const Row& row : rows) {
        Step step(std::string(row.action == Action::Add ? "add " : "delete ") + row.argument);
        if (row.action == Action::Add) {
            app.addNumber(row.argument);
        } else {
            app.deleteAt(row.argument);
            CheckText("position field keeps its text", row.argument, app.text(kDeleteIndex));
        }
        CheckText("listing", row.listing, app.text(kListing));
    }
    // The sum is the running one: 7 + 2.5 + 0.5 - 2.5 + 4 - 4 + 9 - 7.
    const char* const report =
        "和　　=9.500000\r\n平均数=4.750000\r\n偏差和=36.125000\r\n标准差=4.250000\r\n方差　=18.062500";
    app.compute();
    CheckText("report of 0.5, 9", report, app.text(kReport));

    Step step("deleting down to nothing");
    app.deleteAt("1");
    CheckText("listing", "(1)9;", app.text(kListing));
    app.deleteAt("1");
    CheckText("listing after deleting the only number", "", app.text(kListing));
    CheckText("report field is not touched by deleting", report, app.text(kReport));
    app.clickExpectingMessage(kDelete, kNoData);
    app.clickExpectingMessage(kCompute, kNoData);
    app.addNumber("3");
    CheckText("a number added to the emptied list is number 1", "(1)3;", app.text(kListing));
}

void DeleteRerender(const std::string& exe) {
    // After a deletion the listing shows each value with six decimals, trailing zeros and a
    // bare point removed.
    App app(exe);
    AddAll(app, {"2.5", "10", "0", "-0", "-3", "100.25", "3.14159265", "0.0000001", "-0.0000001", "120", "010.50",
                 "1"});
    app.deleteAt("12");
    CheckText("listing", "(1)2.5;(2)10;(3)0;(4)-0;(5)-3;(6)100.25;(7)3.141593;(8)0;(9)-0;(10)120;(11)10.5;",
              app.text(kListing));
}

void DeleteErrors(const std::string& exe) {
    App app(exe);
    {
        Step step("nothing stored");
        for (const char* position : {"", "1", "0"}) {
            Step inner("position " + Describe(position));
            app.setText(kDeleteIndex, position);
            app.clickExpectingMessage(kDelete, kNoData);
            CheckText("position field keeps its text", position, app.text(kDeleteIndex));
        }
    }
    AddAll(app, {"1", "2"});
    {
        Step step("two numbers stored");
        // 2147483648 reads as a negative position; 4294967296 does not read as a number at all.
        for (const char* position : {"0", "", "3", "2147483648", "4294967296"}) {
            Step inner("position " + Describe(position));
            app.setText(kDeleteIndex, position);
            app.clickExpectingMessage(kDelete, kNoSuchNumber);
            CheckText("position field keeps its text", position, app.text(kDeleteIndex));
            CheckText("listing unchanged", "(1)1;(2)2;", app.text(kListing));
        }
    }
    Step step("after the refused positions");
    app.deleteAt("2");
    CheckText("listing", "(1)1;", app.text(kListing));
    app.compute();
    CheckText("report", "和　　=1.000000\r\n平均数=1.000000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000",
              app.text(kReport));
}

// ---- clearing -------------------------------------------------------------------------------

void Clear(const std::string& exe) {
    App app(exe);
    AddAll(app, {"1.5", "2.5"});
    app.compute();
    app.setText(kInput, "7");
    app.setText(kDeleteIndex, "1");
    {
        Step step("clear with two numbers");
        app.click(kClear);
        CheckText("report", "", app.text(kReport));
        CheckText("listing", "", app.text(kListing));
        CheckText("input field is left as it was", "7", app.text(kInput));
        CheckText("position field is left as it was", "1", app.text(kDeleteIndex));
        app.clickExpectingMessage(kCompute, kNoData);
        app.clickExpectingMessage(kDelete, kNoData);
    }
    {
        Step step("numbers after clearing");
        app.addNumber("5");
        CheckText("listing starts again at 1", "(1)5;", app.text(kListing));
        app.compute();
        CheckText("report covers only the new number",
                  "和　　=5.000000\r\n平均数=5.000000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000",
                  app.text(kReport));
    }
    {
        Step step("clear with nothing stored");
        app.deleteAt("1");
        CheckText("listing", "", app.text(kListing));
        app.click(kClear);
        CheckText("report is emptied all the same", "", app.text(kReport));
    }
}

// ---- closing --------------------------------------------------------------------------------

void Close(const std::string& exe) {
    struct Row {
        const char* how;
        UINT message;
        WPARAM wParam;
        std::vector<const char*> numbers;
    };
    const Row rows[] = {
        {"WM_CLOSE, nothing stored", WM_CLOSE, 0, {}},
        {"system menu Close (SC_CLOSE), numbers stored", WM_SYSCOMMAND, SC_CLOSE, {"1", "2.5", "-3"}},
    };
    for (const Row& row : rows) {
        Step step(row.how);
        App app(exe);
        AddAll(app, row.numbers);
        CheckNumber("exit code", 0, app.closeAndWait(row.message, row.wParam));
    }
}

// ---- smoke ----------------------------------------------------------------------------------

// A short run of everything at once, for builds whose every start is slow to watch.
void Smoke(const std::string& exe) {
    App app(exe);
    app.addNumber("2.5");
    app.compute();
    CheckText("report of 2.5",
              "和　　=2.500000\r\n平均数=2.500000\r\n偏差和=0.000000\r\n标准差=0.000000\r\n方差　=0.000000",
              app.text(kReport));
    app.setText(kInput, "2.5.");
    app.clickExpectingMessage(kNext, kInvalidInput);

    // Plain double arithmetic on every target: were the mean and the squared deviations kept
    // in x87's wider registers, the last digits of these two lines would differ.
    app.click(kClear);
    app.addNumber("464.51");
    app.addNumber("131364.27");
    app.compute();
    CheckText("report of 464.51 and 131364.27",
              "和　　=131828.780000\r\n平均数=65914.390000\r\n偏差和=8567373584.028798\r\n标准差=65449.880000\r\n"
              "方差　=4283686792.014399",
              app.text(kReport));
    CheckNumber("exit code", 0, app.closeAndWait(WM_CLOSE, 0));
}

// ---- demo -----------------------------------------------------------------------------------

void Demo(const std::string& exe) {
    App app(exe);
    AddAll(app, {"2", "4", "4", "4", "5", "5", "7", "9"});
    app.compute();
    CheckText("report", kExampleReport, app.text(kReport));
    app.detach();
}

const Scenario kScenarios[] = {
    {"layout", Layout, "main window and the nine controls as created"},
    {"typing", Typing, "typing into the fields filters digits and runs no command"},
    {"add", AddAccepted, "accepted numbers are listed as typed and read as their values"},
    {"add-long", AddLong, "only the first 1023 bytes of the input are read"},
    {"reject", AddRejected, "rejected texts bring the invalid-input message and change nothing"},
    {"report", Report, "the five-line report of several series"},
    {"report-empty", ReportEmpty, "report with nothing stored brings the no-data message"},
    {"report-stale", ReportStale, "the report stays until asked again"},
    {"delete", Delete, "deleting renumbers and re-renders the listing and lowers the sum"},
    {"delete-rerender", DeleteRerender, "the compact rendering of re-rendered entries"},
    {"delete-errors", DeleteErrors, "no-data and no-such-number messages of deleting"},
    {"clear", Clear, "clearing empties the report and the listing and starts again"},
    {"close", Close, "closing the window ends the program with exit code 0"},
    {"resources", CheckResources, "icon group and version record of the executable file"},
    {"smoke", Smoke, "a number, a report, a message box, double arithmetic and closing"},
    {"demo", Demo, "enters 2,4,4,4,5,5,7,9, shows the report and leaves the window open"},
};

}  // namespace

const Scenario* Scenarios(int* count) {
    static const std::vector<Scenario> all = [] {
        std::vector<Scenario> scenarios(std::begin(kScenarios), std::end(kScenarios));
        int extremes = 0;
        const Scenario* extreme = ExtremeScenarios(&extremes);
        scenarios.insert(scenarios.end(), extreme, extreme + extremes);
        return scenarios;
    }();
    *count = static_cast<int>(all.size());
    return all.data();
}

}  // namespace e2e
