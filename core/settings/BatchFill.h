// Batch channel fill: the window's inputs -> cell texts of a range of rows of
// the channel list, plus the rules of the batch window's fields.
//
// Everything here is pure; the batch window only gathers its fields into a
// BatchInputs, calls ApplyBatch and writes the result into the channel
// editor's rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/ChannelRowOps.h"
#include "channels/ChannelRows.h"
#include "image/Module1.h"

namespace rm427 {

// OptBatch3: how the transmit frequencies are made.
enum BatchTxMode { txSameAsRx = 0, txOffset = 1, txOwnStart = 2 };

struct BatchInputs {
    int fromChannel = 1;                   // TxtBatch0(0)
    int toChannel = 128;                   // TxtBatch0(1)
    std::string rxText = "100.00000";      // TxtBatch1(1), MHz
    std::string rxStepText = "0";          // TxtBatch2(1), kHz
    bool rxAscending = true;               // OptBatch2A
    int txMode = txSameAsRx;               // OptBatch3
    std::string offsetText = "0.00000";    // TxtBatch1(2), MHz
    bool offsetPlus = true;                // OptBatch3A
    std::string txText = "100.00000";      // TxtBatch1(3), MHz
    std::string txStepText = "0";          // TxtBatch2(2), kHz
    bool txAscending = true;               // OptBatch3B
    int decodeIndex = 0;                   // CboBatch(0), tone list index 0..264
    bool decodeRandom = false;             // ChkBatch4
    std::string decodeIntervalText = "0";  // TxtBatch3(1)
    bool decodeAscending = true;           // OptBatch4A
    bool encodeSameAsDecode = true;        // OptBatch5(0)
    int encodeIndex = 0;                   // CboBatch(1)
    bool encodeRandom = false;             // ChkBatch5
    std::string encodeIntervalText = "0";  // TxtBatch3(2)
    bool encodeAscending = true;           // OptBatch5A
    // Selected positions of the option lists, in the order their items are shown.
    int bandwidth = 0;  // CboBatch6(0): Wide, Narrow
    int scanAdd = 0;    // CboBatch6(1): Yes, No
    int power = 0;      // CboBatch6(2): High, Low
    int bcl = 1;        // CboBatch6(3): Yes, No
    int beatShift = 0;  // CboBatch6(6): Off, Beat Shift1, Beat Shift2
    int vox = 1;        // CboBatch6(7): Yes, No
    int option = 0;     // CboBatch6(8): Off, Compand, Scramble
    std::string name;   // TxtBatch7
};

// The random choice of signalling: a fixed-seed generator, so every run of
// the program (every opening of the batch window) gives the same sequence.
class BatchRandom {
public:
    // Uniform in [0, 1).
    double Next();
    // floor(Next() * 261): a tone list index 0..260.
    int NextIndex();

private:
    std::uint32_t state_ = 0x50000;
};

// Highest tone list index that stepping and random choice reach; 261..264
// only ever appear as the start entry.
constexpr int kBatchToneMax = 260;

// Fills rows FromChannel..ToChannel (columns 1-12) of the channel list.
// Nothing happens when ToChannel is below FromChannel; rows outside
// 1..CHCount (and beyond the table) are never written. Frequencies step as
// 32-bit floats and wrap at the state's FreqLimitLow/FreqLimitHigh; each one
// is snapped to the channel raster, the transmit frequency to the raster of
// its own channel's receive frequency. Cell texts are those of the channel
// editor in the current Language, rendered from the channels the range
// becomes.
void ApplyBatch(const Module1& state, const BatchInputs& in, BatchRandom& random, ChannelRows& rows);
// The same on the typed channel list (channel n at index n - 1): each
// channel of the range gets its values on top of its own record.
void ApplyBatch(const Module1& state, const BatchInputs& in, BatchRandom& random, ChannelList& list);

// ---- Helpers shared with the batch window -------------------------------

// A 32-bit float as text: seven significant digits, no trailing zeros or
// point (145.00625 -> "145.0063", 550 -> "550").
std::string SingleText(float value);

// Result of a field validation: the corrected text, and whether the
// "Frequency is out of range." message is due.
struct FieldCheck {
    std::string text;
    bool outOfRange = false;
};

// Receive and transmit start fields: above FreqLimitHigh or below
// FreqLimitLow (an empty text counts as 0) gives the limit and the message;
// anything else is snapped to the nearer of the two rasters.
FieldCheck ValidateBatchStartFreq(const Module1& state, const std::string& text);
// Offset field: an offset must stay below the span of the band limits
// (FreqLimitHigh - FreqLimitLow MHz, larger offsets can never give a
// transmit frequency inside the limits); a larger one becomes that limit
// minus 0.005 with the message. Otherwise the value is snapped to the nearer
// raster and shown with five decimals.
FieldCheck ValidateBatchOffset(const Module1& state, const std::string& text);
double BatchOffsetLimit(const Module1& state);

// Step fields (kHz): while typing, above 1000 becomes "1000". On validation
// the value is clamped to 0..1000, a value between 0 and 5 becomes 5 (the
// smallest useful step), and it is shown with up to two decimals (12.5,
// 6.25); an empty or non-numeric text becomes "0".
std::string BatchStepChanged(const std::string& text);
std::string ValidateBatchStep(const std::string& text);

// Range fields (channel numbers 1..CHCount).
enum class FieldKey { Up, Down, Other };
// On every change: a non-empty text becomes its number, at most CHCount.
std::string RangeFieldChanged(const std::string& text, int chCount);
// On key down: the text becomes its whole number ("" -> "0"); Up subtracts 1
// and wraps below 1 to CHCount, Down adds 1 and wraps above CHCount to 1.
std::string RangeFieldKeyDown(const std::string& text, FieldKey key, int chCount);
// A range field on its own: 0 or empty -> "1", above CHCount -> CHCount.
std::string ClampChannelField(const std::string& text, int chCount);
// Enter in the From (isFrom) or To field: 0 or empty -> "1", above CHCount ->
// CHCount; then the other field follows when the range would be reversed.
void ValidateRangeFields(std::string& from, std::string& to, bool isFrom, int chCount);

// Interval fields (0..20).
std::string IntervalChanged(const std::string& text);
std::string IntervalKeyDown(const std::string& text, FieldKey key);
std::string ValidateInterval(const std::string& text);

// Name field: whether a typed character may enter the name (upper-cased
// first): exactly the characters a channel name can store.
bool BatchNameCharAllowed(char c);
// The name as it is written into the rows: upper case, only those
// characters, at most five.
std::string CleanBatchName(const std::string& text);

}  // namespace rm427
