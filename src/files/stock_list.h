// Reads "Stock List.txt" into the symbol table and writes "Run.bat", the
// download script with one block per symbol.
#pragma once

#include <cstddef>

// Characters a symbol may hold: it goes verbatim into a batch script and into
// file paths, so anything the command interpreter or the file system treats
// specially is refused.
bool IsSafeSymbol(const char* token, size_t length);

// The download script block for one symbol, CR LF line ends included.
// Returns the number of characters written, as snprintf does.
int FormatScriptBlock(char* out, size_t size, const char* symbol);

// False when the list cannot be read or the script cannot be written; the
// user is told either way.
bool PrepairStockList();
