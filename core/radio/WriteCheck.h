// What a write did to the radio, beyond "Writing completed!":
//
// - the band check's changes: which channels the write sent as empty
//   (receive frequency outside the radio's band) and which lost their
//   transmit offset (transmit outside the band);
// - the verify: after the write, a separate read with the read script fetches
//   the radio's memory back, and every fetched byte that the write also sent
//   is compared with what was sent (after the band check and the 0xE91 rule).
//   Differences are told as the image comparison tells them: channels field
//   by field, settings by name, other bytes by offset.
#pragma once

#include <string>
#include <vector>

#include "radio/CloneProtocol.h"
#include "text/TextTable.h"

namespace rm427 {

struct BandChange {
    enum Kind { SentEmpty, OffsetRemoved } kind;
    int channel;         // 1..128
    std::string rx, tx;  // the channel editor's frequency texts
};

// The channels whose records differ between the send image before and after
// the band check, in channel order. Channels that were empty anyway are not
// listed.
std::vector<BandChange> BandCheckChanges(const CodeplugImage& before, const CodeplugImage& after,
                                         const std::vector<ChannelFreqText>& channels);

// The band as the identification gives it, "136.0 - 174.0 MHz".
std::string BandText(int low, int high);

// A heading and one line per change, in the given language; empty when
// nothing changed.
std::vector<std::string> BandCheckReport(int language, int low, int high,
                                         const std::vector<BandChange>& changes);

// The image the radio holds as far as a verify can tell: sent, with every
// byte that the read fetched and the write sent taken from readBack.
CodeplugImage VerifiedImage(const CodeplugImage& sent, const CodeplugImage& readBack);

// The differences between what was sent and what was read back (as
// DiffImages lists them, in the language asked for); empty when the radio
// holds what was written.
std::vector<std::string> VerifyDifferences(const CodeplugImage& sent, const CodeplugImage& readBack,
                                           int language = 0);

// "Verified: ..." or "Verify failed: ... (N differences)", in the given language.
std::string VerifySummary(int language, std::size_t differences);

}  // namespace rm427
