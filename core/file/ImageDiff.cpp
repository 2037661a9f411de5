#include "file/ImageDiff.h"

#include <cstdio>
#include <set>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "settings/SettingsNames.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string Hex(unsigned v, int digits) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

}  // namespace

std::vector<std::string> DiffImages(const CodeplugImage& a, const CodeplugImage& b) {
    std::vector<std::string> out;
    std::set<int> explained;  // offsets whose difference a line above shows

    // Channels.
    const ChannelRows ra = EnglishChannelRows(a), rb = EnglishChannelRows(b);
    const ChannelRows titles = MakeChannelRows(Module1());
    for (int n = 1; n <= kMaxChannels; ++n) {
        bool any = false;
        for (int c = colRxFreq; c < kChannelColumns; ++c)
            if (ra[n][c] != rb[n][c]) {
                out.push_back("channel " + std::to_string(n) + ": " + titles[0][c] + " " +
                              Quote(ra[n][c]) + " -> " + Quote(rb[n][c]));
                any = true;
            }
        if (any)
            for (int i = 0; i < kChannelRecordSize; ++i) explained.insert(ChannelOffset(n) + i);
    }

    // Settings: each field with the bytes (and bits) it is read from.
    struct Field {
        std::string name, from, to;
        std::vector<std::pair<int, int>> bits;
    };
    // SettingsListing gives the fields in this order.
    const std::vector<std::pair<int, int>> bits[kSettingsFields] = {
        {{0xE95, 0xFF}}, {{0xE9B, 0x01}},
        {{0xE98, 0xF0}}, {{0xE9A, 0x08}},
        {{0xE9B, 0x02}}, {{0xE9A, 0x20}},
        {{0xE98, 0x0F}}, {{0xE91, 0x03}},
        {{0xE99, 0x0F}}, {{0xE99, 0xF0}},
        {{0xE9B, 0x40}}, {{0xE9A, 0x10}},
        {{0xE9A, 0xC0}}, {{0xE9C, 0xFF}, {0xE9D, 0xFF}, {0xE9E, 0xFF}, {0xE9F, 0xFF}}};
    const auto la = SettingsListing(a, 0), lb = SettingsListing(b, 0);
    std::vector<Field> fields;
    for (int i = 0; i < kSettingsFields; ++i)
        fields.push_back({la[i].first, la[i].second, lb[i].second, bits[i]});
    int shownMask[kImageSize] = {};
    for (const Field& f : fields) {
        if (f.from == f.to) continue;
        out.push_back("setting " + f.name + ": " + Quote(f.from) + " -> " + Quote(f.to));
        for (const auto& [offset, mask] : f.bits) shownMask[offset] |= mask;
    }

    // Everything else, and every byte whose change the views above do not show.
    for (int i = 0; i < kImageSize; ++i) {
        const int d = a[i] ^ b[i];
        if (!d || explained.count(i)) continue;
        if ((d & ~shownMask[i]) == 0) continue;
        out.push_back("byte 0x" + Hex(static_cast<unsigned>(i), 3) + ": " + Hex(a[i], 2) + " -> " +
                      Hex(b[i], 2));
    }
    return out;
}

}  // namespace rm427
