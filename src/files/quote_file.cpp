#include "../core/stock_table.h"

bool STOCKFILE::Load(char*)
{
    return false;
}
