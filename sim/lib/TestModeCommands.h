// The simulated radio's test mode: live tuning of its 15 factory values.
//
//   "T" P 02 00       query       -> 06, value (2 bytes)
//   "A" P b1 b2       adjust      -> 06 (the radio works with the new value)
//   "done"            leave       -> 06 (adjustments not stored are dropped)
//   "W" 01|02 AE lo + 2 bytes    store (always 6 bytes) -> 06
//
// Parameter P (0..14) lives in the radio's memory at TuningAddress(P); P 3..6
// (max deviation) take two bytes, big-endian (511 - value) * 32, the others
// one byte. An adjustment lasts until "done" or the next access word.
#pragma once

#include "RadioModel.h"

namespace rm427::sim {

constexpr int kTuningCount = 15;

// Radio address and width of parameter P; address -1 for no such parameter.
int TuningAddress(int p);
int TuningWidth(int p);

// The stored value of P (decoded), and setting it (tests, the --tune option).
int TuningValue(const RadioModel& radio, int p);
void SetTuningValue(RadioModel& radio, int p, int value);
// The value the radio works with now: the last adjustment since the access
// word, if any, else the stored one.
int LiveTuningValue(const RadioModel& radio, int p);

// Installed by InstallExtraCommands.
void AddTestModeCommands(RadioModel& radio);

}  // namespace rm427::sim
