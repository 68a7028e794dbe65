#include "program.h"

#include <cstdio>
#include <cstring>

std::filesystem::path BinDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::filesystem::path(path).parent_path();
}

WorkingFolder::WorkingFolder(const std::string& stockList)
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path_ = std::filesystem::path(base) /
            ("quorvane-run-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()));
    std::filesystem::create_directories(path_ / "TempStocks");
    std::filesystem::create_directories(path_ / "Stocks");
    WriteFile(path_ / "Stock List.txt", stockList);
    WriteFile(path_ / "Donations.txt", "Thank you.\r\n");
    std::error_code noTool;  // tests of the start-up need no downloader
    std::filesystem::copy_file(BinDir() / "wget.exe", path_ / "wget.exe", noTool);
}

Program::Program(const std::filesystem::path& folder, const std::filesystem::path& exe)
{
    std::string command = "\"" + exe.string() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.string().c_str(), &startup, &info)) {
        fprintf(stderr, "cannot start %s: error %lu\n", command.c_str(), GetLastError());
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

Program::~Program()
{
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        Close();
        if (!WaitForExit(5000)) TerminateProcess(process_, 1);
    }
    CloseHandle(process_);
}

std::vector<HWND> Program::TopLevelWindows() const
{
    struct Search {
        DWORD id;
        std::vector<HWND> found;
    } search{id_, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->id) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) const
{
    HWND result = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindows()) {
                char cls[256];
                GetClassNameA(window, cls, sizeof cls);
                if (strcmp(cls, className) != 0 || !IsWindowVisible(window)) continue;
                if (title && WindowText(window) != title) continue;
                result = window;
                return true;
            }
            return false;
        },
        timeoutMs);
    return result;
}

std::string Program::ItemText(int id) const
{
    return WindowText(GetDlgItem(Dialog(), id));
}

void Program::SetItemText(int id, const std::string& text) const
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(GetDlgItem(Dialog(), id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, 5000, &ignored);
}

void Program::Press(int id) const
{
    HWND dialog = Dialog();
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, 30000, &ignored);
}

void Program::Close() const
{
    HWND dialog = WaitForWindow("#32770", "Quorvane", 0);
    if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

bool Program::WaitForExit(DWORD timeoutMs, DWORD* code) const
{
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(process_, code);
    return true;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        5000, &ignored);
    return text;
}

std::string MessageBoxText(HWND box)
{
    // The message is the box's static text control with the id 0xFFFF.
    return WindowText(GetDlgItem(box, 0xFFFF));
}
