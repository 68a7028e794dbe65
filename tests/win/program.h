// Drives the real Quorvane.exe from a test: a working folder of its own,
// the process, and its windows, reached by messages as a user's input would.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// The folder of the running test executable, where the program and its tools are built.
std::filesystem::path BinDir();

// A fresh folder laid out as the program expects its working directory:
// "Stock List.txt" with the given text, TempStocks, Stocks, "Donations.txt" and wget.exe.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& stockList);
    const std::filesystem::path& path() const { return path_; }
    std::string Read(const std::string& name) const { return ReadFile(path_ / name); }

private:
    std::filesystem::path path_;
};

// Calls fn until it returns true or timeoutMs pass; true when it did.
template <typename Fn>
bool WaitFor(Fn fn, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (fn()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

class Program {
public:
    // Starts the program (by default the Quorvane.exe built beside the test)
    // with the given folder as its working directory.
    explicit Program(const std::filesystem::path& folder,
                     const std::filesystem::path& exe = BinDir() / "Quorvane.exe");
    ~Program();  // closes the program, and ends it if it will not close
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The first top-level window of the program with this class and title
    // (null title: any), waited for.
    HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = 15000) const;
    HWND Dialog(DWORD timeoutMs = 15000) const { return WaitForWindow("#32770", "Quorvane", timeoutMs); }
    std::vector<HWND> TopLevelWindows() const;

    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;
    void Press(int id) const;  // as a click on the dialog's button
    void Close() const;        // as the dialog's close box

    // True when the process ended within the time; its exit code in *code.
    bool WaitForExit(DWORD timeoutMs, DWORD* code = nullptr) const;
    HANDLE process() const { return process_; }
    DWORD id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The text of a message box: its static text control.
std::string MessageBoxText(HWND box);
std::string WindowText(HWND window);
