// One download cycle: run the download script, wait for it while keeping the
// windows alive, then load every stock's quote file.
#pragma once

void DownloadStocks();
