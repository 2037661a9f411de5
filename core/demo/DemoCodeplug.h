// The codeplug of the demonstration radio (rm427 --demo): a UHF set with a
// dozen programmed channels (repeaters with offsets and tones, simplex,
// DCS, narrow and low-power channels, names, scan and options) and function
// settings that differ from a new image's.
#pragma once

#include "image/Module1.h"

namespace rm427 {

CodeplugImage DemoCodeplug();

}  // namespace rm427
