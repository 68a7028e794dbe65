#include "tick_export.h"

void ExportTickSeries()
{
}
