// libFuzzer target: whatever the packer packs, the unpacker restores.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "file/DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    if (size == 0 || size > 8192) return 0;
    const Bytes input(data, data + size);
    Bytes packed = input;
    std::string error;
    if (!PackImageFile(packed, error)) return 0;  // more than 255 passes
    if (packed.size() > input.size() + 256) std::abort();
    Bytes back = packed;
    if (!UnpackImageFile(back) || back != input) std::abort();
    return 0;
}
