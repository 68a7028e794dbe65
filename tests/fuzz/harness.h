// The checks behind the fuzz targets of the two readers of outside input, the
// stock list and the quote files. Each runs the reader on one input in the
// current working directory, which the caller keeps private to it, and
// returns a description of the first property that did not hold, or an empty
// string. The libFuzzer targets and the replay test both call them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The input as "Stock List.txt" through PrepairStockList: the symbol table,
// "Run.bat" and the message for the user against a model of the list.
std::string CheckStockList(const uint8_t* data, size_t size);

// The input as quote text: the price texts found in pieces of any size
// against a model of the tokens, every price text and the whole input
// through ParsePrice against std::from_chars, and the input as a quote file
// through STOCKFILE::Load against the prices it should append.
std::string CheckQuoteFile(const uint8_t* data, size_t size);
