// The clone exchange: reading the codeplug from the radio and writing it back.
//
// Both directions are fixed scripts of numbered steps; each step sends one
// frame and, except the last, waits for an answer of known length:
//
//   read (131 steps)  0 "TUMKEL" -> 18-byte identification
//                     1..128 "R" 0x0E addr (channel records) -> 0x06 + 14
//                     129 "R" 0x10 AE90 -> 0x06 + 16, 130 "R" 0x20 AEB0 -> 0x06 + 32
//                     131 "DONE"
//   write (117 steps) 0 "TUMKEL" -> identification (band check of SendImage)
//                     1..114 "W" 0x10 addr + 16 bytes -> 0x06
//                     115 "W" 0x10 AE90 + settings row, 116 "W" 03 AED3 09 0A 1B
//                     117 "DONE"
//
// The pure pieces (frames, answer lengths, band check, progress text) are
// free functions; CloneExchange runs a script on a SerialPort with Timers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/ChannelRows.h"
#include "image/Module1.h"
#include "image/RecordLayout.h"
#include "radio/SerialPort.h"

namespace rm427 {

enum class CloneDir { Read = 0, Write = 1 };

constexpr int kReadSteps = 131;
constexpr int kWriteSteps = 117;
constexpr int kCloneInBuffer = 1024;
constexpr int kCloneOutBuffer = 512;

// Timing of the exchange, in milliseconds.
struct CloneTiming {
    int sendDelay = 1;        // from an accepted answer to the next frame
    int answerTimeout = 800;  // from a frame to its first answer byte
    int finishWait = 100;     // after the closing word
    int pollInterval = 20;
    int maxPolls = 30;
    int retryPause = 30;   // between closing and reopening the port on Retry
    int closePause = 300;  // after "DONE" when cancelling
};

int CloneTotalSteps(CloneDir dir);
// Radio address of a step's request, or -1 for the access and closing words.
int CloneStepAddress(CloneDir dir, int step);
// The frame of a step. For a write, data comes from sendImage.
Bytes CloneFrame(CloneDir dir, int step, const CodeplugImage& sendImage);
// Length of the answer awaited after a step's frame (0 for the closing word).
int CloneAnswerLength(CloneDir dir, int step);

// Receive and transmit frequency texts of one channel as the channel editor
// shows them (MHz, "" for none).
struct ChannelFreqText {
    std::string rx, tx;
};

// The receive and transmit texts of channels 1..128 of the channel list.
std::vector<ChannelFreqText> ChannelFreqTexts(const ChannelRows& rows);
// The same for an image, as the channel editor would show it.
std::vector<ChannelFreqText> ChannelFreqTexts(const CodeplugImage& image);

// The whole-MHz part of a frequency text (rounded down); 0 for an empty or
// unreadable text.
int WholeMHz(const std::string& text);

// The copy of the image that a write sends: the image, with the working-mode
// byte 0xE91 cleared when no channel has a receive frequency.
CodeplugImage MakeSendImage(const CodeplugImage& image, const std::vector<ChannelFreqText>& channels);

// Blanks or trims the channels of sendImage that the radio's band cannot
// take. low and high in 0.1 MHz as the identification gives them; only whole
// MHz are compared, so 174.9 MHz passes a limit of 1740.
void BandCheck(CodeplugImage& sendImage, int low, int high,
               const std::vector<ChannelFreqText>& channels);

// "Completion percentage:  N%" in the given language.
std::string ProgressText(int language, int value, int maximum);

// The image offsets a read fills, and those a write sends.
bool ReadTransfersOffset(int offset);
bool WriteTransfersOffset(int offset);

}  // namespace rm427
