// The program's numbered string table (English and Chinese).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rm427 {

struct TextEntry {
    int number;
    const char* text;  // UTF-8; "&" marks an access key
};

extern const TextEntry kTextTable[];
extern const std::size_t kTextTableSize;

// The raw entry of the table, or nullptr when the table has no such number.
const char* FindTextEntry(int entry);

// Text of English number n in the given language: entry language * 1000 + n.
// A language other than 0 or 1 reads as English. A number the table lacks
// gives an empty text (a program error, never a user's).
std::string LoadText(int language, int n);

// Replaces %1, %2, ... in text by args in order; what the args bring is
// taken as it is.
std::string FillText(std::string text, const std::vector<std::string>& args);

// Text n with %1 replaced by count. English says "1 channel", not "1
// channels": for a count of one a text with a singular twin (listed in
// Text.cpp) is read from the twin. Chinese has no plural; its twin is the
// same sentence.
std::string CountText(int language, int n, long long count);

}  // namespace rm427
