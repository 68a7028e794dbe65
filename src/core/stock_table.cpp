#include "stock_table.h"

#include <sys/stat.h>

char FileName[MaxSymbols][SymbolSlotSize];
int32_t FileNumber;
STOCKFILE StockFile[MaxStockFiles];

int32_t FileIndex;
float AveragedStock[MaxTicks];
char ClassName[13] = "Stock Market";

int32_t StartingTime;
int32_t StoppingTime;
char DestinationFolder[1000];
int32_t StreamFrequency;
int32_t TickNumber = 1000;

bool running = true;
bool stream;

void ClearTickSeries()
{
    for (int i = 0; i < FileNumber; ++i) StockFile[i].FileSize = 0;
}

#ifdef _WIN32
HINSTANCE Instance;
HWND DialogBoxA;
HWND DisplayWindow;
POINT Mouse;

bool FileExists(const char* strFilename)
{
    struct _stat info;
    return _stat(strFilename, &info) == 0;
}
#else
bool FileExists(const char* strFilename)
{
    struct stat info;
    return stat(strFilename, &info) == 0;
}
#endif
