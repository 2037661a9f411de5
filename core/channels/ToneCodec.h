// Signalling (CTCSS tones and DCS codes) as the channel editors show them and
// as a channel record stores them.
//
// The tone list has 265 entries: 0 "None" (localised), 1..50 the CTCSS tones,
// 51..157 the 107 DCS codes normal ("D023N"), 158..264 the same codes
// inverted ("D023I"). A record keeps one code byte per direction; whether it
// is CTCSS or DCS is said by the record's signalling type, not by the byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rm427 {

constexpr int kToneCount = 265;
constexpr int kFirstCtcss = 1;  // list index of 67.0 Hz
constexpr int kLastCtcss = 50;
constexpr int kFirstDcs = 51;   // list index of D017N
constexpr int kDcsCodes = 107;  // inverted code = normal code + 107

// The fixed texts: entries 1..264 are the same in every language; entry 0
// here is the English "None" (ToneList localises it).
const std::array<const char*, kToneCount>& ToneTexts();

// The 265 texts, entry 0 in the given language (text 1137).
std::vector<std::string> ToneList(int language);

// Index of the first entry equal to text (entry 0 in the given language), or
// 0 when none matches.
int ToneIndex(int language, const std::string& text);

// Code byte of a list index: CTCSS index - 1, DCS index - 51, 0 for "None"
// (and for indexes outside the list).
std::uint8_t ToneCodeOfIndex(int index);
// List index of a stored code byte. Codes past the end of the list (a CTCSS
// code above 263, a DCS code above 213, which the program never writes)
// read as 0 ("None"), so what the grid shows is what a save will store.
int CtcssIndexOfCode(std::uint8_t code);
int DcsIndexOfCode(std::uint8_t code);

}  // namespace rm427
