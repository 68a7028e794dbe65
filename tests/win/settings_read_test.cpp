// The settings read of every frame pass: the five edits are found once per
// dialog, and every change of any of them is still seen at the very next
// read, in this dialog or in one created after it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "core/stock_table.h"
#include "ui/control_dialog.h"

namespace {

HWND NewDialog()
{
    Instance = GetModuleHandleA(nullptr);
    DialogBoxA = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, DialogProc, 0);
    SetDialogDefaults(DialogBoxA);
    return DialogBoxA;
}

struct Settings {
    int32_t start, stop, frequency, ticks;
    std::string folder;
    bool operator==(const Settings& o) const
    {
        return start == o.start && stop == o.stop && frequency == o.frequency && ticks == o.ticks &&
               folder == o.folder;
    }
};

Settings Read()
{
    SetVariables();
    return Settings{StartingTime, StoppingTime, StreamFrequency, TickNumber, DestinationFolder};
}

std::ostream& operator<<(std::ostream& out, const Settings& s)
{
    return out << s.start << ' ' << s.stop << ' ' << s.frequency << ' ' << s.ticks << " \"" << s.folder << '"';
}

TEST(SettingsRead, EveryChangeOfAnEditIsSeenAtTheNextRead)
{
    ASSERT_NE(NewDialog(), nullptr);
    EXPECT_EQ(Read(), (Settings{7, 16, 60, 1000, "Stocks\\"}));
    const struct {
        int id;
        const char* text;
        Settings after;
    } changes[] = {
        {IDC_START_HOUR, "9", {9, 16, 60, 1000, "Stocks\\"}},
        {IDC_STOP_HOUR, "23", {9, 23, 60, 1000, "Stocks\\"}},
        {IDC_FREQUENCY, "", {9, 23, 0, 1000, "Stocks\\"}},
        {IDC_FREQUENCY, "5", {9, 23, 5, 1000, "Stocks\\"}},
        {IDC_TICKS, "100000", {9, 23, 5, 100000, "Stocks\\"}},
        {IDC_FOLDER, "C:\\Out\\", {9, 23, 5, 100000, "C:\\Out\\"}},
        {IDC_START_HOUR, "x", {0, 23, 5, 100000, "C:\\Out\\"}},
    };
    for (const auto& c : changes) {
        SetDlgItemTextA(DialogBoxA, c.id, c.text);
        EXPECT_EQ(Read(), c.after) << "after edit " << c.id << " became \"" << c.text << '"';
    }
    TickNumber = 3;  // as a frame lowers it: the next read restores the edit's value
    EXPECT_EQ(Read().ticks, 100000);

    // A dialog made after this one is read, not the edits of the one before.
    DestroyWindow(DialogBoxA);
    EXPECT_EQ(Read(), (Settings{0, 0, 0, 0, ""})) << "a dialog that is gone reads as empty texts";
    ASSERT_NE(NewDialog(), nullptr);
    EXPECT_EQ(Read(), (Settings{7, 16, 60, 1000, "Stocks\\"}));
    SetDlgItemTextA(DialogBoxA, IDC_STOP_HOUR, "12");
    EXPECT_EQ(Read().stop, 12);
    DestroyWindow(DialogBoxA);
    DialogBoxA = nullptr;
}

}  // namespace
