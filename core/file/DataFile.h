// The data file (.dat): one codeplug image behind a short header, packed by
// the byte-elimination packer.
//
// Unpacked content, always 4112 bytes:
//   0..5     "SLQFEO"
//   6..15    ten 0xFF (written; ignored when opening)
//   16..4111 the image, offset 0 first
// On disk: that content after N packer passes (N = 0..255), then one
// trailer byte holding N.
//
// One packer pass turns a buffer into
//   L (3 bytes, big-endian) = 4 + number of control bytes
//   F (1 byte)              the fill byte eliminated in this pass
//   M (3 bytes, big-endian) how many F were eliminated
//   control bytes           where the F stood among the literals
//   literal bytes           everything that is not an eliminated F, in order
// A control byte below 0x80 is a group of up to 7 positions, bit 6 first
// (1 = F, 0 = next literal); 0x80 + k (k = 0..126) is k + 7 literals then
// one F; 0xFF is 134 literals and no F.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kDataFileContentSize = 16 + kImageSize;  // 4112
constexpr int kMaxPackerPasses = 255;
// No pass of a real file unpacks to more than this (the content is 4112
// bytes and a pass grows it by a few dozen bytes at most); anything larger
// is a malformed file, refused before it can eat memory.
constexpr std::size_t kMaxUnpackedSize = 64 * 1024;

// One packer pass on buf. Returns true and replaces buf when the pass is
// applied; returns false and leaves buf unchanged when it is rejected (its
// result would be two or more bytes longer than buf while fewer than 1100
// bytes were eliminated) or when buf is empty.
bool EliminatorPass(Bytes& buf);

// One unpacker pass, the inverse of EliminatorPass. Every field is checked
// against the buffer: returns false and leaves buf unchanged for malformed
// input, or when the result would exceed maxOutput bytes.
bool EliminatorUnpass(Bytes& buf, std::size_t maxOutput = kMaxUnpackedSize);

// Packs buf in place: passes until one is rejected, then the trailer byte
// with the number of applied passes. False (buf unchanged, error set) when
// more than 255 passes would be applied.
bool PackImageFile(Bytes& buf, std::string& error);

// Unpacks the bytes of a file in place: drops the trailer N and runs N
// unpacker passes. False (buf unchanged) for an empty buffer or any
// malformed pass.
bool UnpackImageFile(Bytes& buf);

// The 4112-byte unpacked content holding image.
Bytes BuildDataFileContent(const CodeplugImage& image);

// The packed bytes of a data file holding the image ("SLQFEO", ten 0xFF, image; packed; trailer).
bool EncodeDataFile(const CodeplugImage& image, std::vector<std::uint8_t>& out, std::string& error);
// The image from the bytes of a data file; false for any malformed file (wrong length, marker, packing).
// The image is left untouched on failure.
bool DecodeDataFile(const std::vector<std::uint8_t>& file, CodeplugImage& image);

}  // namespace rm427
