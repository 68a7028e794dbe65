// Faults around the real program: the quote service down, stalling or
// answering nonsense for one symbol, quote files that cannot be read, a
// missing TempStocks, export folders that cannot take the files, and stock
// lists far outside the usual. In each the program stays up, its dialog keeps
// answering, and it does what a user would expect; the exported bytes and the
// service's log are checked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "program.h"
#include "quote_service.h"

namespace fs = std::filesystem;

namespace {

// The longest time the dialog took to answer a message, from probes sent
// while a condition is waited for.
class Responsiveness {
public:
    explicit Responsiveness(HWND dialog) : dialog_(dialog) {}

    // Probes the dialog every 20 ms until fn returns true or timeoutMs pass.
    template <typename Fn>
    bool ProbeUntil(Fn fn, DWORD timeoutMs)
    {
        return WaitFor(
            [&] {
                Probe();
                return fn();
            },
            timeoutMs);
    }

    void Probe()
    {
        char text[64];
        DWORD_PTR ignored;
        const DWORD start = GetTickCount();
        const bool answered = SendMessageTimeoutA(dialog_, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                  SMTO_NORMAL, 5000, &ignored) != 0;
        const DWORD took = answered ? GetTickCount() - start : 5000;
        if (took > longest_) longest_ = took;
        ++probes_;
    }

    DWORD longest() const { return longest_; }
    int probes() const { return probes_; }

private:
    HWND dialog_;
    DWORD longest_ = 0;
    int probes_ = 0;
};

// While the downloader waits for the service the dialog answers within a
// quarter of a second. Launching the download script blocks the thread for
// about 0.1 s under Wine, more on a busy machine: over a whole run, a second.
constexpr DWORD StallAnswerLimitMs = 250;
constexpr DWORD AnswerLimitMs = 1000;

// The visible top-level windows of the program other than its dialog: a
// message box, for one.
std::vector<std::string> OtherWindows(const Program& program)
{
    std::vector<std::string> titles;
    HWND dialog = program.Dialog(0);
    for (HWND window : program.TopLevelWindows())
        if (window != dialog && IsWindowVisible(window)) titles.push_back(WindowText(window));
    return titles;
}

// Milliseconds of the day of a log line's time stamp, 2026-12-11T16:05:03.123.
long StampMs(const std::string& line)
{
    int hour = 0, minute = 0, second = 0, ms = 0;
    sscanf(line.c_str() + line.find('T') + 1, "%d:%d:%d.%d", &hour, &minute, &second, &ms);
    return ((hour * 60L + minute) * 60L + second) * 1000L + ms;
}

// Posts a click: a command that shows a message box does not return before
// the box is closed, so it is not sent.
void PostPress(const Program& program, int id)
{
    HWND dialog = program.Dialog();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits for the program's message box, returns its text and closes it.
std::string TakeMessage(const Program& program, DWORD timeoutMs = 15000)
{
    HWND box = program.WaitForWindow("#32770", "Error", timeoutMs);
    if (!box) return "(no message box)";
    const std::string text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); }, 5000);
    return text;
}

TEST(Faults, ServiceDownGivesNoPricesAndNoMessages)
{
    ASSERT_FALSE(Accepts(QuotePort())) << "port " << QuotePort() << " must be free: nothing may answer";
    WorkingFolder folder("IBM MSFT\r\n");
    // A quote file left from an earlier run holds a price: the first cycle
    // must delete it before the load, so that it gives no tick.
    const fs::path stale = folder.path() / "TempStocks" / "IBM.csv";
    WriteFile(stale, "\"IBM\",99.5,\"12/11/2026\",\"4:05pm\",+1.20,98.00,99.90,97.80,100\r\n");
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    StartStreaming(program);

    // Each cycle starts by deleting the quote files, so a file put back that
    // goes again shows one more cycle. What is put back holds no price.
    Responsiveness dialogAnswers(dialog);
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(dialogAnswers.ProbeUntil([&] { return !fs::exists(stale); }, 30000)) << "cycle " << cycle;
        WriteFile(stale, "no-price-here\r\n");
    }
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs) << dialogAnswers.probes() << " probes";
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});

    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);
    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "");
    EXPECT_EQ(folder.Read("Stocks\\MSFT.txt"), "");
    EXPECT_TRUE(fs::exists(folder.path() / "Stocks" / "MSFT.txt"));
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

TEST(Faults, StalledServiceEndsTheCycleWithinTheDownloadersBoundsAndTheDialogAnswers)
{
    WorkingFolder folder("IBM MSFT\r\n");
    // IBM's first reply would come after 30 s: the downloader gives up after
    // 5 s without data, and the cycle goes on with MSFT.
    QuoteService service(folder.path(), "IBM delay 30000 12.5\r\nIBM 13.5\r\nMSFT 55\r\nMSFT 56\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    StartStreaming(program);

    // The stall: from the arrival of IBM's request to that of MSFT's.
    Responsiveness launch(dialog), stall(dialog), next(dialog);
    ASSERT_TRUE(launch.ProbeUntil([&] { return service.Log().size() >= 1; }, 60000));
    ASSERT_TRUE(stall.ProbeUntil([&] { return service.Log().size() >= 2; }, 30000));
    ASSERT_TRUE(next.ProbeUntil([&] { return service.Log().size() >= 3; }, 30000));
    EXPECT_LT(stall.longest(), StallAnswerLimitMs) << stall.probes() << " probes during the stall";
    EXPECT_GT(stall.probes(), 100);
    EXPECT_LT(launch.longest(), AnswerLimitMs);
    EXPECT_LT(next.longest(), AnswerLimitMs);

    // The log stamps each request as it arrives: IBM's stalled one, MSFT's,
    // then IBM's of the next cycle.
    const std::vector<std::string> log = service.Log();
    ASSERT_EQ(Request(log[0]), "200 /d/quotes.csv IBM=12.5");
    ASSERT_EQ(Request(log[1]), "200 /d/quotes.csv MSFT=55");
    ASSERT_EQ(Request(log[2]), "200 /d/quotes.csv IBM=13.5");
    const long waited = StampMs(log[1]) - StampMs(log[0]);
    EXPECT_GE(waited, 4500) << "the downloader waited for the stalled reply";
    EXPECT_LE(waited, 10500) << "the downloader gives up after 10 s in all";
    EXPECT_LE(StampMs(log[2]) - StampMs(log[0]), 15000) << "the stalled cycle ended, and the next began";

    // The next request (404) shows that the second cycle has loaded.
    ASSERT_TRUE(service.WaitForRequests(5, 60000));
    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);
    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "13.500000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\MSFT.txt"), "56.000000\r\n55.000000\r\n");
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

TEST(Faults, ABadReplyForOneSymbolCostsOnlyThatSymbolsPrice)
{
    struct BadReply {
        const char* reply;   // MID's scripted reply
        const char* logged;  // what the service logs for it
    };
    const BadReply cases[] = {
        {"garbage <html>Service busy</html>", "200 /d/quotes.csv MID=garbage"},
        {"na", "200 /d/quotes.csv MID=N/A"},
        {"error 503", "503 /d/quotes.csv MID=error"},
        {"empty", "200 /d/quotes.csv MID=empty"},
        {"garbage \"MID\",abc,\"12/11/2026\",x", "200 /d/quotes.csv MID=garbage"},
    };
    const int cycles = static_cast<int>(std::size(cases)) + 1;  // the last gives MID a price

    WorkingFolder folder("LEFT MID RIGHT\r\n");
    std::string replies;
    std::string left, right;
    for (int n = 0; n < cycles; ++n) {
        replies += "LEFT " + std::to_string(10 + n) + ".25\r\nRIGHT " + std::to_string(20 + n) + ".5\r\n";
        left = std::to_string(10 + n) + ".250000\r\n" + left;
        right = std::to_string(20 + n) + ".500000\r\n" + right;
    }
    for (const BadReply& bad : cases) replies += std::string("MID ") + bad.reply + "\r\n";
    replies += "MID 7.25\r\n";
    QuoteService service(folder.path(), replies);
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    StartStreaming(program);

    // The first request after the last cycle (404) shows that it has loaded.
    Responsiveness dialogAnswers(dialog);
    ASSERT_TRUE(dialogAnswers.ProbeUntil([&] { return service.Log().size() >= 3 * cycles + 1; }, 120000))
        << service.Log().size() << " requests";
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs);
    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);

    const std::vector<std::string> log = service.Log();
    for (size_t n = 0; n < std::size(cases); ++n)
        EXPECT_EQ(Request(log[3 * n + 1]), cases[n].logged) << "cycle " << n;
    EXPECT_EQ(folder.Read("Stocks\\LEFT.txt"), left);
    EXPECT_EQ(folder.Read("Stocks\\MID.txt"), "7.250000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\RIGHT.txt"), right);
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

TEST(Faults, MissingTempStocksIsMadeAtStartUpAndStreamingWorks)
{
    WorkingFolder folder("IBM\r\n");
    fs::remove_all(folder.path() / "TempStocks");
    QuoteService service(folder.path(), "IBM 42.5\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    ASSERT_NE(program.Dialog(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return fs::is_directory(folder.path() / "TempStocks"); }, 10000));
    StartStreaming(program);
    ASSERT_TRUE(service.WaitForRequests(2, 60000));
    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);
    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "42.500000\r\n");
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

TEST(Faults, TempStocksThatCannotBeMadeIsReportedAndTheProgramRunsOn)
{
    WorkingFolder folder("IBM\r\n");
    fs::remove_all(folder.path() / "TempStocks");
    WriteFile(folder.path() / "TempStocks", "a file where the folder should be");
    Program program(folder.path());
    EXPECT_EQ(TakeMessage(program), "Failed to create - TempStocks");
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    Responsiveness dialogAnswers(dialog);
    EXPECT_FALSE(dialogAnswers.ProbeUntil([&] { return !OtherWindows(program).empty(); }, 1500))
        << "one message only";
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs);
    EXPECT_EQ(folder.Read("TempStocks"), "a file where the folder should be");
}

TEST(Faults, QuoteFileLockedOrADirectoryCostsOnlyThatStocksPrice)
{
    WorkingFolder folder("FIRST LOCK DIR LAST\r\n");
    // DIR's quote file is a folder: the cycle cannot delete it, the
    // downloader cannot write it, the reader cannot read it.
    fs::create_directories(folder.path() / "TempStocks" / "DIR.csv");
    // LAST's first reply comes late, so that the test can lock LOCK's quote
    // file before the load; FIRST's second one too, so that the lock is
    // released before the second cycle downloads LOCK again.
    QuoteService service(folder.path(),
                         "FIRST 1.5\r\nFIRST delay 1500 2.5\r\nLOCK 3.5\r\nLOCK 4.5\r\n"
                         "DIR 5.5\r\nDIR 6.5\r\nLAST delay 3000 7.5\r\nLAST 8.5\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    StartStreaming(program);

    const std::string locked = (folder.path() / "TempStocks" / "LOCK.csv").string();
    HANDLE lock = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(WaitFor(
        [&] {
            lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            return lock != INVALID_HANDLE_VALUE;
        },
        60000));
    EXPECT_FALSE(fs::exists(folder.path() / "TempStocks" / "LAST.csv")) << "locked before the load";

    // FIRST's second request shows that the first cycle has loaded.
    Responsiveness dialogAnswers(dialog);
    const bool loaded = dialogAnswers.ProbeUntil([&] { return service.Log().size() >= 5; }, 60000);
    CloseHandle(lock);
    ASSERT_TRUE(loaded) << service.Log().size() << " requests";
    ASSERT_TRUE(dialogAnswers.ProbeUntil([&] { return service.Log().size() >= 9; }, 60000))
        << service.Log().size() << " requests";
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs);
    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);

    EXPECT_EQ(folder.Read("Stocks\\FIRST.txt"), "2.500000\r\n1.500000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\LOCK.txt"), "4.500000\r\n") << "no price while locked, one after";
    EXPECT_EQ(folder.Read("Stocks\\DIR.txt"), "");
    EXPECT_EQ(folder.Read("Stocks\\LAST.txt"), "8.500000\r\n7.500000\r\n");
    EXPECT_TRUE(fs::is_directory(folder.path() / "TempStocks" / "DIR.csv"));
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

// Starts a command of the Linux host through Wine (Z: is the Linux root).
// Wine runs a Linux program without a process handle to wait on, so what
// the command did is seen in the files it leaves.
bool StartOnHost(const std::string& shellCommand)
{
    std::string command = "Z:\\bin\\sh -c \"" + shellCommand + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

// A small tmpfs mounted on a Linux folder, reached as Z:\..., removed at the
// end. Mounting needs root; without it the drive is not there.
class SmallDrive {
public:
    SmallDrive() : unix_("/tmp/quorvane-full-" + std::to_string(GetCurrentProcessId()))
    {
        // The mark is made on the new drive, so it shows that the mount worked.
        mounted_ = StartOnHost("mkdir -p " + unix_ + " && mount -t tmpfs -o size=64k tmpfs " + unix_ +
                               " && touch " + unix_ + "/mounted") &&
                   WaitFor([&] { return std::filesystem::exists(folder() + "mounted"); }, 10000);
        if (!mounted_) StartOnHost("rmdir " + unix_);
    }
    ~SmallDrive()
    {
        if (!mounted_) return;
        StartOnHost("umount " + unix_ + " && rmdir " + unix_);
        WaitFor([&] { return !std::filesystem::exists(folder()); }, 10000);
    }
    SmallDrive(const SmallDrive&) = delete;
    SmallDrive& operator=(const SmallDrive&) = delete;

    bool mounted() const { return mounted_; }
    std::string folder() const
    {
        std::string path = "Z:" + unix_ + "/";
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

private:
    std::string unix_;
    bool mounted_ = false;
};

// Fills a drive: a file grows until a write fails.
void Fill(const std::string& folder)
{
    FILE* filler = fopen((folder + "filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    setvbuf(filler, nullptr, _IONBF, 0);
    const std::string block(1024, 'x');
    while (fwrite(block.data(), 1, block.size(), filler) == block.size()) {
    }
    fclose(filler);
}

TEST(Faults, ExportFolderMissingReadOnlyOrFullIsReportedAndEarlierFilesStay)
{
    SmallDrive drive;
    WorkingFolder folder("IBM MSFT\r\n");
    QuoteService service(folder.path(), "IBM 10.5\r\nMSFT 20.25\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    ASSERT_NE(program.Dialog(), nullptr);
    StartStreaming(program);
    // The second cycle's requests find no more replies: one price each.
    ASSERT_TRUE(service.WaitForRequests(4, 60000));
    program.Press(IDC_STOP);

    const std::string readOnly = (folder.path() / "ReadOnly").string() + "\\";
    const std::string gone = (folder.path() / "Gone").string() + "\\";
    struct Case {
        const char* name;
        std::string folder;  // the output folder text
        bool available;
    };
    const Case cases[] = {
        {"missing", gone, true},
        {"read-only", readOnly, true},
        {"full", drive.folder(), drive.mounted()},
    };
    fs::create_directories(readOnly);
    fs::create_directories(gone);
    for (const Case& c : cases) {
        if (!c.available) continue;
        program.SetItemText(IDC_FOLDER, c.folder);
        program.Press(IDC_OUTPUT);
        ASSERT_EQ(ReadFile(c.folder + "IBM.txt"), "10.500000\r\n") << c.name;
        ASSERT_EQ(ReadFile(c.folder + "MSFT.txt"), "20.250000\r\n") << c.name;
    }

    // Good files exist in each folder; now the faults come.
    fs::remove_all(gone);
    SetFileAttributesA((readOnly + "IBM.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((readOnly + "MSFT.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    if (drive.mounted()) Fill(drive.folder());

    for (const Case& c : cases) {
        if (!c.available) continue;
        program.SetItemText(IDC_FOLDER, c.folder);
        PostPress(program, IDC_OUTPUT);
        EXPECT_EQ(TakeMessage(program), "Failed to write 2 files - first: " + c.folder + "IBM.txt") << c.name;
        EXPECT_EQ(ReadFile(c.folder + "IBM.txt"), c.folder == gone ? "" : "10.500000\r\n") << c.name;
        EXPECT_EQ(ReadFile(c.folder + "MSFT.txt"), c.folder == gone ? "" : "20.250000\r\n") << c.name;
        EXPECT_FALSE(fs::exists(c.folder + "IBM.txt.tmp")) << c.name;
    }
    EXPECT_FALSE(fs::exists(gone)) << "nothing made the missing folder";

    // A good folder still takes every price.
    program.SetItemText(IDC_FOLDER, "Stocks\\");
    program.Press(IDC_OUTPUT);
    EXPECT_EQ(folder.Read("Stocks\\IBM.txt"), "10.500000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\MSFT.txt"), "20.250000\r\n");
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
    if (!drive.mounted()) GTEST_SKIP() << "the full drive needs a tmpfs mounted as root; the other cases ran";
}

// The download script's lines for one symbol.
std::string Block(const std::string& symbol)
{
    return "@echo off\r\n wget.exe -q -O TempStocks\\" + symbol + ".csv \"http://" QUOTE_HOST
           "/d/quotes.csv?s=" + symbol + "&f=sl1d1t1c1ohgv&e=.csv\"\r\n";
}

TEST(Faults, HugeStockListKeepsTheFirstThousandSymbolsAndReportsTheRestOnce)
{
    const std::string longest(99, 'L');
    const std::string tooLong(100, 'T');
    const char* const unsafe[] = {"a&b", "x|y", "%PATH%", "\"q\"", "c^d", "semi;colon", "<in>", "back\\slash"};
    const std::string binary[] = {std::string("\x01\x02\xff\xfe", 4), std::string("AB\x80" "CD")};

    std::string list = longest + "\r\n" + tooLong + "\r\n";
    for (const char* token : unsafe) list += std::string(token) + " ";
    for (const std::string& token : binary) list += token + "\t";
    std::string script = Block(longest);
    for (int n = 0; n < 3000; ++n) {
        char symbol[16];
        snprintf(symbol, sizeof symbol, "S%04d", n);
        list += std::string(symbol) + (n % 7 == 0 ? "\r\n" : " ");
        if (n < 999) script += Block(symbol);
    }
    list += "\x1A" "AFTER a&b\r\n";  // Ctrl-Z ends the list
    WorkingFolder folder(list);

    Program program(folder.path());
    const std::string text = TakeMessage(program);
    const int notSymbols = 1 + static_cast<int>(std::size(unsafe) + std::size(binary));
    const int leftOut = 3001 - 1000;
    EXPECT_EQ(text.find("Skipped " + std::to_string(notSymbols + leftOut) + " entries - Stock List.txt\n"), 0u)
        << text;
    EXPECT_NE(text.find("Not symbols (" + std::to_string(notSymbols) + "): TTTT"), std::string::npos) << text;
    EXPECT_NE(text.find("Only 1000 stocks can be held: " + std::to_string(leftOut) + " more left out"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("AFTER"), std::string::npos) << text;

    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    Responsiveness dialogAnswers(dialog);
    EXPECT_FALSE(dialogAnswers.ProbeUntil([&] { return !OtherWindows(program).empty(); }, 2000))
        << "one message only";
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs);
    EXPECT_TRUE(folder.Read("Run.bat") == script + "delete run.bat") << "Run.bat holds the first 1000 symbols";
}

TEST(Faults, OddStockListStreamsItsGoodSymbols)
{
    const std::string longest(99, 'L');
    WorkingFolder folder(longest + " " + std::string(100, 'T') + " a&b\r\n" + std::string("\x01\x7f\xff", 3) +
                         " SYM.X\r\nB-C_D\r\n\x1A" "LATE\r\n");
    QuoteService service(folder.path(), longest + " 11.5\r\nSYM.X 12.5\r\nB-C_D 13.5\r\nLATE 14.5\r\n");
    ASSERT_TRUE(service.ok());
    Program program(folder.path());
    EXPECT_EQ(TakeMessage(program).find("Skipped 3 entries - Stock List.txt\n"), 0u);
    HWND dialog = program.Dialog();
    ASSERT_NE(dialog, nullptr);
    StartStreaming(program);
    // The first request of the second cycle (404) shows that the first has loaded.
    Responsiveness dialogAnswers(dialog);
    ASSERT_TRUE(dialogAnswers.ProbeUntil([&] { return service.Log().size() >= 4; }, 60000));
    EXPECT_LT(dialogAnswers.longest(), AnswerLimitMs);
    program.Press(IDC_STOP);
    program.Press(IDC_OUTPUT);

    const std::vector<std::string> log = service.Log();
    EXPECT_EQ(Request(log[0]), "200 /d/quotes.csv " + longest + "=11.5");
    EXPECT_EQ(Request(log[1]), "200 /d/quotes.csv SYM.X=12.5");
    EXPECT_EQ(Request(log[2]), "200 /d/quotes.csv B-C_D=13.5");
    EXPECT_EQ(Request(log[3]), "404 /d/quotes.csv " + longest + "=none");
    EXPECT_EQ(folder.Read("Stocks\\" + longest + ".txt"), "11.500000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\SYM.X.txt"), "12.500000\r\n");
    EXPECT_EQ(folder.Read("Stocks\\B-C_D.txt"), "13.500000\r\n");
    EXPECT_EQ(OtherWindows(program), std::vector<std::string>{});
}

}  // namespace
