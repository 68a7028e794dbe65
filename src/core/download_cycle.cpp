#include "download_cycle.h"

void DownloadStocks()
{
}
