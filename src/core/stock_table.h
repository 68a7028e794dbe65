// The process-wide state: the stock table, the chart's selection and scratch
// buffer, the settings mirrored from the control dialog, the run flags and
// the window handles. Fixed capacity, allocated once, never resized.
#pragma once

#include <cstdint>

constexpr int MaxSymbols = 10000;    // rows of FileName
constexpr int SymbolSlotSize = 100;  // a symbol of at most 99 characters and its zero byte
constexpr int MaxStockFiles = 1000;  // tick records, and so the number of stocks held
constexpr int MaxTicks = 100000;     // prices per series

// One stock's tick series, oldest price first.
class STOCKFILE {
public:
    int32_t FileSize;
    float StockValues[MaxTicks];

    // Appends the price(s) found in the stock's quote file; false when there
    // is no quote file or it cannot be read.
    bool Load(char* StockName);
};

extern char FileName[MaxSymbols][SymbolSlotSize];
extern int32_t FileNumber;
extern STOCKFILE StockFile[MaxStockFiles];

extern int32_t FileIndex;
extern float AveragedStock[MaxTicks];
extern char ClassName[13];

extern int32_t StartingTime;
extern int32_t StoppingTime;
extern char DestinationFolder[1000];
extern int32_t StreamFrequency;
extern int32_t TickNumber;

extern bool running;
extern bool stream;

// Empties the series of every listed stock; the prices stay in place.
void ClearTickSeries();

// True when the file-status query succeeds on the path: a file or a directory.
bool FileExists(const char* strFilename);

#ifdef _WIN32
#include <windows.h>

extern HINSTANCE Instance;
extern HWND DialogBoxA;
extern HWND DisplayWindow;
extern POINT Mouse;
#endif
