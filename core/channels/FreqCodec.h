// Frequencies as the channel editors type and show them, and as a channel
// record stores them.
//
// A frequency text is MHz with five decimals ("145.12500"). A frequency
// count is the same value in 10 Hz units (14512500); offsets between two
// frequencies are counts too. The channel raster is 5 kHz or 6.25 kHz: a
// step of 500 or 625 counts.
//
// All arithmetic on texts is exact (decimal digits to integers); nothing
// here goes through binary floating point or the C locale, so a typed
// 145.01125 lands on the same raster on every machine.
#pragma once

#include <cstdint>
#include <string>

#include "image/Module1.h"

namespace rm427 {

constexpr int kStep5k = 500;   // 5 kHz in 10 Hz units
constexpr int kStep625 = 625;  // 6.25 kHz

// The leading decimal number of a text: digits with at most one decimal
// point, reading stops at the first other character (no sign, no blanks);
// 0 when there is none. "145,125" is 145.
double NumericValue(const std::string& text);

// Characters 1 to 3, ".", characters 5 to 9: the fourth character is dropped
// whatever it is, anything past the ninth is dropped, a short text gives
// short pieces ("145" -> "145.").
std::string NormaliseFreq(const std::string& text);

// Numeric value of the text times 100000, rounded to the nearest integer
// (halves up). Saturates instead of overflowing on absurdly long numbers.
std::int32_t FreqCount(const std::string& text);

// A count as MHz with five decimals: 14512500 -> "145.12500", -50000 -> "-0.50000".
std::string FormatCount(std::int64_t count);

// Raster rounding of a typed frequency (after the range check).
//   column 1 (receive): the nearer of the 5 kHz and 6.25 kHz candidates,
//     a tie goes to 5 kHz;
//   column 2 (transmit): the raster of the row's own receive frequency
//     (rowRxText, the receive cell of the same row): 6.25 kHz when its count
//     is not a multiple of 500, else 5 kHz;
//   any other column: the normalised text, unformatted.
// Candidates are rounded halves away from zero.
std::string RoundFreq(const std::string& text, int column, const std::string& rowRxText);

struct FreqCheckResult {
    std::string text;         // the text to put into the cell
    bool outOfRange = false;  // the caller shows "Frequency is out of range." (text 1321)
};

// Range check and rounding of a non-empty typed frequency. A value above
// compareHigh becomes substHigh ("550.00000"), below compareLow becomes
// substLow, both with outOfRange set; a value equal to a limit is accepted.
// Anything else goes through RoundFreq. Limits are whole MHz.
//
// Leading zeros are dropped before rounding: the value check reads
// "0145.125" as 145.125, so the positional normalisation must see it as
// "145.125" too (otherwise it would store 14 MHz past the range check).
FreqCheckResult CheckFreq(const std::string& text, int column, const std::string& rowRxText,
                          int compareLow, int compareHigh, int substLow, int substHigh);

// The same check on counts, reading the typed text once: the value it
// leads with for the range check and the digits by their position for the
// raster, in one pass. `rowRx` is the count whose raster a transmit
// frequency takes (the row's receive frequency as its cell reads back).
// CheckFreq gives FormatCount of this count for the receive and transmit
// columns.
struct FreqEntry {
    std::int32_t count = 0;
    bool outOfRange = false;
};
FreqEntry EnterFreq(const std::string& text, int column, std::int64_t rowRx, int compareLow,
                    int compareHigh, int substLow, int substHigh);
// The count a receive cell showing `count` reads back as (the positional
// normalisation of its text): the count itself from 100 to 999.99999 MHz.
std::int64_t ShownCount(std::int64_t count);

// The two callers' limits: the channel editor compares with EditLimitLow/High
// and substitutes FreqLimitLow/High; the batch editor compares with and
// substitutes FreqLimitLow/High.
FreqCheckResult CheckFreqEditor(const Module1& state, const std::string& text, int column,
                                const std::string& rowRxText);
FreqEntry EnterFreqEditor(const Module1& state, const std::string& text, int column, std::int64_t rowRx);
FreqCheckResult CheckFreqBatch(const Module1& state, const std::string& text, int column,
                               const std::string& rowRxText);

// A frequency as a channel record stores it: W = count div 10000 (whole
// 100 kHz units, two bytes big-endian in the record) and F = (count mod
// 10000) div step (5 bits). The remainder below the step is lost.
struct PackedFreq {
    std::uint16_t whole = 0;    // W
    std::uint8_t fraction = 0;  // F, 0..31
};

// Negative counts pack as 0. A step of 0 or less (no record read yet)
// packs no fraction rather than dividing by zero.
PackedFreq PackFreq(std::int64_t count, int step);
// W * 10000 + F * step. For F * step >= 10000 (fractions the program never
// writes: F = 16..31 at 6.25 kHz, 20..31 at 5 kHz) this carries into the
// whole part, so such a record shows the frequency it really encodes.
std::int64_t UnpackFreq(PackedFreq packed, int step);

}  // namespace rm427
