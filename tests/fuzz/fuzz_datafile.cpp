// libFuzzer target: the unpacker and the whole open path on arbitrary bytes.
// Any input must come back as a clean refusal or a valid image; a decoded
// image must survive saving and opening again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "file/DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    const Bytes input(data, data + size);

    Bytes unpacked = input;
    if (UnpackImageFile(unpacked)) {
        if (unpacked.size() > kMaxUnpackedSize) std::abort();
    } else if (unpacked != input) {
        std::abort();  // a refusal must leave the buffer alone
    }

    CodeplugImage image;
    image.fill(0xA7);
    const CodeplugImage before = image;
    if (!DecodeDataFile(input, image)) {
        if (image != before) std::abort();
        return 0;
    }
    Bytes file;
    std::string error;
    if (!EncodeDataFile(image, file, error)) std::abort();
    CodeplugImage again{};
    if (!DecodeDataFile(file, again) || again != image) std::abort();
    return 0;
}
