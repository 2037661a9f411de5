#include "file/DataFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace rm427 {

namespace {

constexpr char kMarker[] = "SLQFEO";
constexpr std::size_t kMarkerSize = 6;
constexpr std::size_t kHeaderSize = 16;
// A pass that eliminates at least this many bytes is applied even when it
// makes the buffer longer.
constexpr std::uint32_t kAlwaysApplyCount = 1100;

void Put24(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 16));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t Get24(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at + 2];
}

}  // namespace

bool EliminatorPass(Bytes& buf) {
    const std::size_t n = buf.size();
    // A 3-byte count cannot describe more; data files are far smaller.
    if (n == 0 || n > 0xFFFFFF) return false;

    std::array<std::uint32_t, 256> count{};
    for (std::uint8_t b : buf) ++count[b];
    int fill = 255;
    for (int v = 254; v >= 0; --v)
        if (count[v] > count[fill]) fill = v;  // ties keep the higher value
    const std::uint32_t m = count[fill];
    const std::uint8_t f = static_cast<std::uint8_t>(fill);

    Bytes header;
    header.push_back(f);
    Put24(header, m);
    Bytes literals;
    literals.reserve(n);

    std::size_t i = 0;
    std::uint32_t fills = 0;
    int k = 0;
    unsigned a = 0;
    while (fills < m) {
        const std::uint8_t b = buf[i];
        if (b == f) {
            if (k < 7) {
                a |= 1u << (6 - k);
            } else {
                header.push_back(static_cast<std::uint8_t>(0x80 + (k - 7)));
                a = 0;
                k = -1;
            }
            ++fills;
        } else {
            literals.push_back(b);
        }
        ++i;
        ++k;
        if (k == 7 && a > 0) {
            header.push_back(static_cast<std::uint8_t>(a));
            a = 0;
            k = 0;
        } else if (k == 134) {
            header.push_back(0xFF);
            a = 0;
            k = 0;
        }
    }
    if (a > 0) header.push_back(static_cast<std::uint8_t>(a));
    literals.insert(literals.end(), buf.begin() + static_cast<std::ptrdiff_t>(i), buf.end());

    const std::size_t l = header.size();
    if (l + literals.size() + 3 > n + 1 && m < kAlwaysApplyCount) return false;

    Bytes out;
    out.reserve(3 + l + literals.size());
    Put24(out, static_cast<std::uint32_t>(l));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), literals.begin(), literals.end());
    buf.swap(out);
    return true;
}

bool EliminatorUnpass(Bytes& buf, std::size_t maxOutput) {
    const std::size_t n = buf.size();
    if (n < 7) return false;
    const std::size_t l = Get24(buf, 0);
    if (l < 4 || l + 3 > n) return false;
    const std::size_t controlEnd = l + 3;
    const std::uint8_t f = buf[3];
    const std::size_t m = Get24(buf, 4);
    const std::size_t literalCount = n - controlEnd;
    if (literalCount + m > maxOutput) return false;

    Bytes out;
    out.reserve(literalCount + m);
    std::size_t cp = 7;
    std::size_t lp = controlEnd;
    std::size_t fills = 0;
    while (fills < m) {
        if (cp >= controlEnd) return false;  // control bytes run out
        const std::uint8_t c = buf[cp++];
        if (c >= 0x80) {
            const std::size_t run = (c & 0x7Fu) + 7;
            if (run > n - lp) return false;
            out.insert(out.end(), buf.begin() + static_cast<std::ptrdiff_t>(lp),
                       buf.begin() + static_cast<std::ptrdiff_t>(lp + run));
            lp += run;
            if (run != 134) {
                out.push_back(f);
                ++fills;
            }
        } else {
            for (int bit = 6; bit >= 0 && fills < m; --bit) {
                if (c & (1u << bit)) {
                    out.push_back(f);
                    ++fills;
                } else {
                    if (lp >= n) return false;
                    out.push_back(buf[lp++]);
                }
            }
        }
    }
    out.insert(out.end(), buf.begin() + static_cast<std::ptrdiff_t>(lp), buf.end());
    buf.swap(out);
    return true;
}

bool PackImageFile(Bytes& buf, std::string& error) {
    Bytes work = buf;
    int passes = 0;
    while (EliminatorPass(work)) {
        if (++passes > kMaxPackerPasses) {
            error = "The data cannot be packed: more than 255 packer passes.";
            return false;
        }
    }
    work.push_back(static_cast<std::uint8_t>(passes));
    buf.swap(work);
    return true;
}

bool UnpackImageFile(Bytes& buf) {
    if (buf.empty()) return false;
    Bytes work(buf.begin(), buf.end() - 1);
    const int passes = buf.back();
    for (int p = 0; p < passes; ++p)
        if (!EliminatorUnpass(work)) return false;
    buf.swap(work);
    return true;
}

Bytes BuildDataFileContent(const CodeplugImage& image) {
    Bytes content(kDataFileContentSize, 0xFF);
    std::memcpy(content.data(), kMarker, kMarkerSize);
    std::copy(image.begin(), image.end(), content.begin() + kHeaderSize);
    return content;
}

bool EncodeDataFile(const CodeplugImage& image, std::vector<std::uint8_t>& out, std::string& error) {
    Bytes content = BuildDataFileContent(image);
    if (!PackImageFile(content, error)) return false;
    out.swap(content);
    return true;
}

bool DecodeDataFile(const std::vector<std::uint8_t>& file, CodeplugImage& image) {
    Bytes content = file;
    if (!UnpackImageFile(content)) return false;
    if (content.size() != kDataFileContentSize) return false;
    if (std::memcmp(content.data(), kMarker, kMarkerSize) != 0) return false;
    std::copy(content.begin() + kHeaderSize, content.end(), image.begin());
    return true;
}

}  // namespace rm427
