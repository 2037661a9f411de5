// Loading and saving the simulator's memory: a data file (.dat) or a raw
// 4096-byte image.
#pragma once

#include <string>

#include "RadioModel.h"

namespace rm427::sim {

bool LoadMemory(const std::string& path, RadioModel& radio, std::string& error);
// Saves as a data file when the name ends in ".dat", else as a raw image.
// Saved as every program saves (file/FileIo.h): a failure leaves the old file.
bool SaveMemory(const std::string& path, const RadioModel& radio, std::string& error);

// The file of radio number n when every radio is saved on its own:
// "out.dat" gives "out-3.dat".
std::string RadioSavePath(const std::string& path, int n);

// Parses a fault description KIND[@STEP][*TIMES][:MS], KIND one of none,
// noanswer, nak, short, garbage, delay, hangup, flip; STEP -1 or absent = every
// frame; TIMES absent = once, -1 = always.
bool ParseFault(const std::string& text, Fault& fault, std::string& error);

}  // namespace rm427::sim
