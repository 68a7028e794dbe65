// Writes every stock's tick series to its own text file, newest price first.
#pragma once

void ExportTickSeries();
