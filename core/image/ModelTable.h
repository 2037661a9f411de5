// Model codes (0..15): which model and band each stands for, where it sits in
// the model window's lists, and the two image bytes that carry it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

inline constexpr const char* kModelVhf = "RM-427(VHF)";
inline constexpr const char* kModelUhf = "RM-427(UHF)";

// Codes below 4 are VHF, all others UHF.
inline bool IsUhfCode(int code) { return code >= 4; }

// 0-based position of the code's band in its model's band list; codes 13..15
// show as "400 - 470(MHz)" (position 4 of the UHF list).
int BandPosition(int code);

// Index into BandNames of the band a model code shows (1..13).
int BandNameIndex(int code);

// The model code of an image (model byte AND 15) and the English text of the
// band it shows.
int ModelCode(const CodeplugImage& image);
std::string BandName(const CodeplugImage& image);

// The band a model code stands for, in 0.1 MHz as the radio's
// identification gives it ("136 - 174(MHz)": 1360, 1740).
void BandLimits(int code, int& low, int& high);
// The first model code whose band is exactly low..high (0.1 MHz); -1 if none.
int ModelCodeForBand(int low, int high);

// The code for a band list position of the VHF or UHF list; -1 when the
// position is outside the list.
int CodeFromSelection(bool uhf, int position);

// The band list of a model, from the state's band names: BandNames 1..4 for
// VHF, 5..13 for UHF.
std::vector<std::string> BandList(const Module1& state, bool uhf);

// Model byte 0x3D2 = 0xF0 | code; band bit (0x3D6 bit 0) cleared for VHF,
// set for UHF, the other bits of 0x3D6 kept.
void WriteModelBytes(CodeplugImage& image, int code);

// The about box's label: name, version, release date and rights notice,
// lines ended by CR LF.
std::string AboutText(int language);

}  // namespace rm427
