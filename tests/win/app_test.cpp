// The real program, started in a folder of its own under the test's control.
#include <windows.h>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "program.h"

namespace {

std::string Block(const std::string& symbol)
{
    return "@echo off\r\n wget.exe -q -O TempStocks\\" + symbol + ".csv \"http://" QUOTE_HOST
           "/d/quotes.csv?s=" + symbol + "&f=sl1d1t1c1ohgv&e=.csv\"\r\n";
}

TEST(Program, StartsWithTheDialogItsDefaultsAndTheScript)
{
    WorkingFolder folder("IBM MSFT\r\nAAPL\r\n");
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(program.ItemText(IDC_START_HOUR), "7");
    EXPECT_EQ(program.ItemText(IDC_STOP_HOUR), "16");
    EXPECT_EQ(program.ItemText(IDC_FOLDER), "Stocks\\");
    EXPECT_EQ(program.ItemText(IDC_FREQUENCY), "60");
    EXPECT_EQ(program.ItemText(IDC_TICKS), "1000");
    EXPECT_EQ(folder.Read("Run.bat"), Block("IBM") + Block("MSFT") + Block("AAPL") + "delete run.bat");
    EXPECT_EQ(program.WaitForWindow("#32770", "Error", 0), nullptr) << "no message at a normal start";

    program.Close();
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Program, MissingStockListIsReportedAndTheProgramRunsOn)
{
    WorkingFolder folder("");
    DeleteFileA((folder.path() / "Stock List.txt").string().c_str());
    WriteFile(folder.path() / "Run.bat", "kept");
    Program program(folder.path());
    HWND box = program.WaitForWindow("#32770", "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Failed to load - Stock List.txt");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_NE(program.Dialog(), nullptr);
    EXPECT_EQ(folder.Read("Run.bat"), "kept");
}

TEST(Program, SkippedSymbolsAreReportedOnceAtStartUp)
{
    WorkingFolder folder("GOOD a&b\r\nx|y OK\r\n");
    Program program(folder.path());
    HWND box = program.WaitForWindow("#32770", "Error");
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_NE(text.find("Skipped 2 entries - Stock List.txt"), std::string::npos) << text;
    EXPECT_NE(text.find("a&b, x|y"), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
    EXPECT_EQ(folder.Read("Run.bat"), Block("GOOD") + Block("OK") + "delete run.bat");
    EXPECT_FALSE(WaitFor([&] { return program.WaitForWindow("#32770", "Error", 0) != nullptr; }, 1000));
}

TEST(Program, DisplayWindowOpensTheChartOnce)
{
    WorkingFolder folder("IBM\r\n");
    Program program(folder.path());
    ASSERT_NE(program.Dialog(), nullptr);
    program.Press(IDC_DISPLAY);
    HWND chart = program.WaitForWindow("Stock Market", "Stock display window");
    ASSERT_NE(chart, nullptr);
    program.Press(IDC_DISPLAY);
    Sleep(300);
    int charts = 0;
    for (HWND w : program.TopLevelWindows()) {
        char cls[64];
        GetClassNameA(w, cls, sizeof cls);
        charts += strcmp(cls, "Stock Market") == 0 && IsWindowVisible(w);
    }
    EXPECT_EQ(charts, 1);

    // Minimised, it still counts as shown: the command neither opens another
    // nor restores it. The program goes on drawing it, on an empty client area.
    ShowWindowAsync(chart, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(chart) != FALSE; }, 5000));
    program.Press(IDC_DISPLAY);
    Sleep(300);
    EXPECT_TRUE(IsIconic(chart));
    EXPECT_EQ(program.WaitForWindow("Stock Market", "Stock display window", 0), chart);
    EXPECT_FALSE(program.WaitForExit(0)) << "frames on an empty client area";
    EXPECT_EQ(program.ItemText(IDC_TICKS), "1000");

    PostMessageA(chart, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(chart); }, 5000));
    program.Press(IDC_DISPLAY);
    HWND second = program.WaitForWindow("Stock Market", "Stock display window");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, chart);
}

TEST(Program, EndsWhenTheDialogIsHidden)
{
    WorkingFolder folder("IBM\r\n");
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    ShowWindowAsync(dialog, SW_HIDE);
    EXPECT_TRUE(program.WaitForExit(10000));
}

}  // namespace
