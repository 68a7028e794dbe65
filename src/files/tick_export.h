// Writes every stock's tick series to its own text file, newest price first.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest line of an export file: a minus sign, the 39 integer digits of
// the largest float, the point, six decimals, CR LF.
constexpr size_t MaxExportLine = 1 + 39 + 1 + 6 + 2;

// The bytes of one export file: values[count - 1] down to values[0], each
// widened to double and written as "%f" would write it, each line ended by
// CR LF. out must hold count * MaxExportLine bytes; returns the bytes used.
size_t FormatTickLines(const float* values, int32_t count, char* out);

// Writes the file "%s%s.txt" of DestinationFolder and the symbol for every
// listed stock. A file is replaced only once its new content is complete, so
// a failed write leaves an earlier export as it was. A stock whose file
// cannot be written is skipped, and the user is told once, at the end.
void ExportTickSeries();
