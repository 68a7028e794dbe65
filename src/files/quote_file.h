// Reading a quote file: every whitespace-delimited token that holds a comma
// carries a price text, the characters after its first comma up to its second
// comma or, when there is no second, up to the token's end.
#pragma once

#include <cstddef>

// The longest price text kept; the rest of a longer one is not read.
constexpr size_t PriceTextLimit = 999;

// Converts a price text into a single-precision price. What counts as a
// number: an optional sign, then digits with an optional decimal point (at
// least one digit in all), then optionally an exponent (e or E, an optional
// sign, at least one digit). The conversion stops at the first character that
// does not fit, so "12.5x" is 12.5 and "2e" is 2. Hex floats, nan and inf are
// not numbers, and neither is a value beyond the single-precision range. The
// matched text, at most PriceTextLimit characters, is rounded once to single
// precision. False, with *price unchanged, when the text holds no number.
bool ParsePrice(const char* text, float* price);

// Splits quote text, fed in pieces of any size, into tokens and hands on the
// price text of each token that has one, in file order. Whitespace is space,
// tab, line feed, vertical tab, form feed and carriage return; a Ctrl-Z ends
// the text, as it ends a text-mode read.
class PriceTextScanner {
public:
    // Scans the next piece, calling found(text) with each completed price
    // text. False once a Ctrl-Z has ended the text: nothing after it counts.
    template <typename Found>
    bool Scan(const char* data, size_t size, Found&& found)
    {
        for (size_t n = 0; n < size; ++n) {
            const char c = data[n];
            if (c == EndOfText) {
                Finish(found);
                return false;
            }
            if (IsBlank(c)) {
                Finish(found);
            } else if (c == ',') {
                if (commas_ == 1) Hand(found);
                if (commas_ < 2) ++commas_;
            } else if (commas_ == 1 && length_ < PriceTextLimit) {
                price_[length_++] = c;
            }
        }
        return true;
    }

    // Ends the token in progress, if any: the end of the input ends it too.
    template <typename Found>
    void Finish(Found&& found)
    {
        if (commas_ == 1) Hand(found);
        commas_ = 0;
        length_ = 0;
    }

private:
    static constexpr char EndOfText = 0x1A;

    static bool IsBlank(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

    template <typename Found>
    void Hand(Found& found)
    {
        price_[length_] = '\0';
        found(static_cast<const char*>(price_));
    }

    int commas_ = 0;  // of the current token: 1 while its price text is read
    size_t length_ = 0;
    char price_[PriceTextLimit + 1];
};
