// libFuzzer target for the image comparison: two arbitrary images (the input
// split in two, padded with 0xFF). Equal images give no line, different ones
// at least one, and the comparison never reads outside the images.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "file/ImageDiff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    CodeplugImage a, b;
    a.fill(0xFF);
    b.fill(0xFF);
    const std::size_t half = size / 2;
    std::copy_n(data, std::min<std::size_t>(half, a.size()), a.begin());
    std::copy_n(data + half, std::min<std::size_t>(size - half, b.size()), b.begin());
    // Short inputs: let b start as a copy of a, so small differences are met.
    if (size < 2 * a.size() && size > 0 && data[0] & 1) {
        const CodeplugImage copy = a;
        for (std::size_t i = half; i < size && i - half < b.size(); ++i)
            b[data[i] % b.size()] ^= data[i];
        a = copy;
    }
    if (!DiffImages(a, a).empty()) std::abort();
    const auto lines = DiffImages(a, b);
    if (lines.empty() != (a == b)) std::abort();
    if (DiffImages(b, a).empty() != lines.empty()) std::abort();
    return 0;
}
