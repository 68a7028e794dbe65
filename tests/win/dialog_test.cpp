// The control dialog in this process: its template as stored in the
// executable, its live controls, the settings read and every command.
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "core/stock_table.h"
#include "ui/chart_window.h"
#include "ui/control_dialog.h"

namespace {

// ---- The template, read from the resource section -------------------------

struct TemplateItem {
    DWORD style, exStyle;
    short x, y, cx, cy;
    WORD id;
    std::string cls, text;
};

struct DialogTemplate {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::string menu, cls, caption, font;
    WORD pointSize;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : p_(data), start_(data) {}
    WORD Word() { WORD w; memcpy(&w, p_, 2); p_ += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, p_, 4); p_ += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    // A zero-terminated UTF-16 string, or 0xFFFF and an ordinal ("#n").
    std::string StringOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF) return "#" + std::to_string(Word());
        std::string s;
        for (WORD c = first; c != 0; c = Word()) s += static_cast<char>(c);
        return s;
    }
    void AlignDword() { p_ = start_ + ((p_ - start_ + 3) & ~3); }

private:
    const BYTE* p_;
    const BYTE* start_;
};

// Resource compilers store the predefined classes by atom or by name.
std::string PredefinedClass(const std::string& cls)
{
    if (cls == "#128") return "BUTTON";
    if (cls == "#129") return "EDIT";
    if (cls == "#130") return "STATIC";
    return cls;
}

DialogTemplate LoadTemplate(int id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    EXPECT_NE(found, nullptr);
    TemplateReader r(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    DialogTemplate t;
    t.style = r.Dword();
    t.exStyle = r.Dword();
    WORD count = r.Word();
    t.x = r.Short(); t.y = r.Short(); t.cx = r.Short(); t.cy = r.Short();
    t.menu = r.StringOrOrdinal();
    t.cls = r.StringOrOrdinal();
    t.caption = r.StringOrOrdinal();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        t.font = r.StringOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        TemplateItem item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = r.Short(); item.y = r.Short(); item.cx = r.Short(); item.cy = r.Short();
        item.id = r.Word();
        item.cls = PredefinedClass(r.StringOrOrdinal());
        item.text = r.StringOrOrdinal();
        WORD extra = r.Word();
        for (WORD b = 0; b < extra; b += 2) r.Word();
        t.items.push_back(item);
    }
    return t;
}

TEST(DialogTemplate, HeaderIsExactlyAsDesigned)
{
    DialogTemplate t = LoadTemplate(IDD_CONTROL);
    EXPECT_EQ(t.style, DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                             DS_3DLOOK | DS_SETFONT));
    EXPECT_EQ(t.exStyle, DWORD(WS_EX_WINDOWEDGE));
    EXPECT_EQ((std::vector<short>{t.x, t.y, t.cx, t.cy}), (std::vector<short>{0, 0, 300, 161}));
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.cls, "");
    EXPECT_EQ(t.caption, "Quorvane");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Shell Dlg");
    // A standard template: the extended form starts with the words 1, 0xFFFF.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_CONTROL), reinterpret_cast<LPCSTR>(RT_DIALOG));
    const WORD* head = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_FALSE(head[0] == 1 && head[1] == 0xFFFF);
}

TEST(DialogTemplate, ControlsInOrderWithExactIdsClassesTextsRectanglesAndStyles)
{
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD edit = child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    const DWORD label = child | SS_LEFT;
    const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
    const std::string EDIT = "EDIT", STATIC = "STATIC", BUTTON = "BUTTON";
    const TemplateItem expected[] = {
        {edit, WS_EX_CLIENTEDGE, 100, 6, 100, 12, 1, EDIT, ""},
        {label, 0, 5, 5, 86, 12, 10, STATIC, "Strart streaming at(in hours)"},
        {label, 0, 5, 27, 84, 12, 20, STATIC, "Stop streaming at(in hours)"},
        {edit, WS_EX_CLIENTEDGE, 100, 27, 100, 12, 2, EDIT, ""},
        {label, 0, 5, 49, 90, 12, 30, STATIC, "Stock data output folder"},
        {edit, WS_EX_CLIENTEDGE, 100, 47, 180, 14, 3, EDIT, ""},
        {label, 0, 5, 71, 90, 24, 40, STATIC, "Stream frequency in seconds"},
        {edit, WS_EX_CLIENTEDGE, 100, 71, 51, 12, 4, EDIT, ""},
        {button, 0, 3, 139, 295, 19, 5, BUTTON, "Output streamed data"},
        {button, 0, 3, 102, 97, 14, 1005, BUTTON, "Start streaming"},
        {button, 0, 203, 102, 93, 14, 1003, BUTTON, "Clear data"},
        {button, 0, 105, 102, 93, 14, 1004, BUTTON, "Stop streaming"},
        {button, 0, 3, 119, 97, 17, 1007, BUTTON, "Display window"},
        {label, 0, 107, 124, 82, 8, 6, STATIC, "Number of ticks to display"},
        {edit | WS_BORDER, 0, 205, 122, 88, 12, 1009, EDIT, ""},
    };
    DialogTemplate t = LoadTemplate(IDD_CONTROL);
    ASSERT_EQ(t.items.size(), std::size(expected));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const TemplateItem &a = t.items[i], &e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " id " + std::to_string(e.id));
        EXPECT_EQ(a.id, e.id);
        EXPECT_EQ(a.cls, e.cls);
        EXPECT_EQ(a.text, e.text);
        EXPECT_EQ(a.style, e.style);
        EXPECT_EQ(a.exStyle, e.exStyle);
        EXPECT_EQ((std::vector<short>{a.x, a.y, a.cx, a.cy}), (std::vector<short>{e.x, e.y, e.cx, e.cy}));
    }
}

// ---- The live dialog ------------------------------------------------------

class ControlDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Instance = GetModuleHandleA(nullptr);
        static bool registered = [] {
            WNDCLASSEXA wincl = ChartWindowClass();
            return RegisterClassExA(&wincl) != 0;
        }();
        ASSERT_TRUE(registered);
        DialogBoxA = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, DialogProc, 0);
        ASSERT_NE(DialogBoxA, nullptr);
        SetDialogDefaults(DialogBoxA);
        ShowWindow(DialogBoxA, SW_SHOWNORMAL);
        running = true;
        stream = false;
        DisplayWindow = nullptr;
    }
    void TearDown() override
    {
        DestroyWindow(DisplayWindow);
        DestroyWindow(DialogBoxA);
    }
    void SetText(int id, const std::string& text) { SetDlgItemTextA(DialogBoxA, id, text.c_str()); }
    std::string Text(int id)
    {
        char text[2000];
        GetDlgItemTextA(DialogBoxA, id, text, sizeof text);
        return text;
    }
    INT_PTR Command(int id) { return DialogProc(DialogBoxA, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

TEST_F(ControlDialog, ShowsTheDefaultsAndTheSettingsReadThem)
{
    char caption[100];
    GetWindowTextA(DialogBoxA, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quorvane");
    EXPECT_EQ(Text(IDC_START_HOUR), "7");
    EXPECT_EQ(Text(IDC_STOP_HOUR), "16");
    EXPECT_EQ(Text(IDC_FOLDER), "Stocks\\");
    EXPECT_EQ(Text(IDC_FREQUENCY), "60");
    EXPECT_EQ(Text(IDC_TICKS), "1000");
    SetVariables();
    EXPECT_EQ(StartingTime, 7);
    EXPECT_EQ(StoppingTime, 16);
    EXPECT_STREQ(DestinationFolder, "Stocks\\");
    EXPECT_EQ(StreamFrequency, 60);
    EXPECT_EQ(TickNumber, 1000);
}

TEST_F(ControlDialog, NumbersAreReadAsAtoiReadsThem)
{
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {{"7.5", 7}, {" 9", 9}, {"-3", -3}, {"word", 0}, {"", 0}, {"+12abc", 12}, {"\t 3 4", 3}};
    for (const auto& c : cases) {
        for (int id : {IDC_START_HOUR, IDC_STOP_HOUR, IDC_FREQUENCY, IDC_TICKS}) SetText(id, c.text);
        SetVariables();
        EXPECT_EQ(StartingTime, c.value) << '"' << c.text << '"';
        EXPECT_EQ(StoppingTime, c.value) << '"' << c.text << '"';
        EXPECT_EQ(StreamFrequency, c.value) << '"' << c.text << '"';
        EXPECT_EQ(TickNumber, c.value) << '"' << c.text << '"';
    }
}

TEST_F(ControlDialog, FolderTextIsTakenAsIsUpTo999Characters)
{
    SetText(IDC_FOLDER, "C:\\Data");
    SetVariables();
    EXPECT_STREQ(DestinationFolder, "C:\\Data");
    SetText(IDC_FOLDER, std::string(1200, 'f'));
    SetVariables();
    EXPECT_EQ(std::string(DestinationFolder), std::string(999, 'f'));
    SetText(IDC_FOLDER, "");
    SetVariables();
    EXPECT_STREQ(DestinationFolder, "");
}

TEST_F(ControlDialog, StreamingCommandsSetAndClearTheSwitch)
{
    EXPECT_EQ(Command(IDC_START), TRUE);
    EXPECT_TRUE(stream);
    Command(IDC_START);
    EXPECT_TRUE(stream);
    EXPECT_EQ(Command(IDC_STOP), TRUE);
    EXPECT_FALSE(stream);
    Command(IDC_STOP);
    EXPECT_FALSE(stream);
}

TEST_F(ControlDialog, ClearDataEmptiesTheListedSeriesOnly)
{
    FileNumber = 2;
    StockFile[0].FileSize = 5;
    StockFile[0].StockValues[0] = 12.5f;
    StockFile[1].FileSize = 1;
    StockFile[2].FileSize = 7;  // beyond the list: never touched
    EXPECT_EQ(Command(IDC_CLEAR), TRUE);
    EXPECT_EQ(StockFile[0].FileSize, 0);
    EXPECT_EQ(StockFile[1].FileSize, 0);
    EXPECT_EQ(StockFile[2].FileSize, 7);
    EXPECT_EQ(StockFile[0].StockValues[0], 12.5f);
    FileNumber = 0;
    StockFile[2].FileSize = 0;
}

TEST_F(ControlDialog, OutputRereadsTheSettingsFirst)
{
    SetText(IDC_FREQUENCY, "5");
    SetText(IDC_FOLDER, "Elsewhere\\");
    EXPECT_EQ(Command(IDC_OUTPUT), TRUE);
    EXPECT_EQ(StreamFrequency, 5);
    EXPECT_STREQ(DestinationFolder, "Elsewhere\\");
}

TEST_F(ControlDialog, DisplayWindowOpensOneChartAndANewOneAfterItWasClosed)
{
    EXPECT_EQ(Command(IDC_DISPLAY), TRUE);
    HWND first = DisplayWindow;
    ASSERT_TRUE(IsWindowVisible(first));
    char text[100];
    GetClassNameA(first, text, sizeof text);
    EXPECT_STREQ(text, "Stock Market");
    GetWindowTextA(first, text, sizeof text);
    EXPECT_STREQ(text, "Stock display window");
    RECT outer;
    GetWindowRect(first, &outer);
    EXPECT_EQ(outer.right - outer.left, 640);
    EXPECT_EQ(outer.bottom - outer.top, 480);
    EXPECT_EQ(GetParent(first), nullptr);
    EXPECT_EQ(GetWindowLongA(first, GWL_STYLE) & WS_OVERLAPPEDWINDOW, LONG(WS_OVERLAPPEDWINDOW));

    Command(IDC_DISPLAY);  // visible: nothing
    EXPECT_EQ(DisplayWindow, first);
    ShowWindow(first, SW_MINIMIZE);  // minimised still counts as shown
    Command(IDC_DISPLAY);
    EXPECT_EQ(DisplayWindow, first);
    EXPECT_TRUE(IsIconic(first));

    SendMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(first));
    Command(IDC_DISPLAY);
    EXPECT_NE(DisplayWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(DisplayWindow));
}

TEST_F(ControlDialog, UnknownCommandsAreHandledAndOtherMessagesAreNot)
{
    EXPECT_EQ(DialogProc(DialogBoxA, WM_COMMAND, MAKEWPARAM(IDC_FREQUENCY, EN_CHANGE), 0), TRUE);
    EXPECT_EQ(Command(4242), TRUE);
    EXPECT_FALSE(stream);
    EXPECT_EQ(DialogProc(DialogBoxA, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(DialogProc(DialogBoxA, WM_MOUSEMOVE, 0, 0), FALSE);
    EXPECT_EQ(DialogProc(DialogBoxA, WM_PAINT, 0, 0), FALSE);
    EXPECT_TRUE(running);
}

TEST_F(ControlDialog, CloseDestroysTheDialogAndStopsTheProgram)
{
    SendMessageA(DialogBoxA, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(DialogBoxA));
    EXPECT_FALSE(IsWindowVisible(DialogBoxA));
    EXPECT_FALSE(running);
}

}  // namespace
