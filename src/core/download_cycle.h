// One download cycle: run the download script, wait for it while keeping the
// windows alive, then load every stock's quote file.
#pragma once

#include <windows.h>

// True when the script's process has ended. A null handle, or one that
// cannot be queried, counts as ended, so no wait can hang on it; the
// process's own exit status plays no part.
bool ScriptEnded(HANDLE process);

void DownloadStocks();
