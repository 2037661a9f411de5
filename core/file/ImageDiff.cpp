#include "file/ImageDiff.h"

#include <cstdio>
#include <set>

#include "channels/Channel.h"
#include "channels/ChannelRecord.h"
#include "image/ImageLayout.h"
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

constexpr int kTextChannelLine = 3540;  // channel %1: %2 %3 -> %4
constexpr int kTextSettingLine = 3541;  // setting %1: %2 -> %3
constexpr int kTextByteLine = 3542;     // byte 0x%1: %2 -> %3

}  // namespace

std::vector<std::string> DiffImages(const CodeplugImage& a, const CodeplugImage& b, int language) {
    std::vector<std::string> out;
    std::set<int> explained;  // offsets whose difference a line above shows

    // Channels.
    const std::vector<Channel> ca = ImageChannels(a), cb = ImageChannels(b);
    for (int n = 1; n <= kMaxChannels; ++n) {
        const Channel &x = ca[n - 1], &y = cb[n - 1];
        if (x.SameValue(y)) continue;
        bool any = false;
        for (int c = colRxFreq; c < kChannelColumns; ++c) {
            const std::string from = ChannelCell(x, c, language), to = ChannelCell(y, c, language);
            if (from == to) continue;
            out.push_back(FillText(LoadText(language, kTextChannelLine),
                                   {std::to_string(n), LoadText(language, ChannelColumnOf(c).title),
                                    Quote(from), Quote(to)}));
            any = true;
        }
        if (any)
            for (int i = 0; i < kChannelRecordSize; ++i) explained.insert(ChannelOffset(n) + i);
    }

    // Settings: each field of the listing, with the bytes (and bits) it is read from.
    const auto la = SettingsListing(a, language), lb = SettingsListing(b, language);
    int shownMask[kImageSize] = {};
    for (int i = 0; i < settings::kListedCount && i < kSettingsFields; ++i) {
        if (la[i].second == lb[i].second) continue;
        out.push_back(FillText(LoadText(language, kTextSettingLine),
                               {la[i].first, Quote(la[i].second), Quote(lb[i].second)}));
        const settings::ListedField& f = settings::kListed[i];
        for (int k = 0; k < f.bytes; ++k) shownMask[f.first.offset + k] |= f.first.mask;
    }

    // Everything else, and every byte whose change the views above do not show.
    for (int i = 0; i < kImageSize; ++i) {
        const int d = a[i] ^ b[i];
        if (!d || explained.count(i)) continue;
        if ((d & ~shownMask[i]) == 0) continue;
        out.push_back(FillText(LoadText(language, kTextByteLine),
                               {Hex(static_cast<unsigned>(i), 3), Hex(a[i], 2), Hex(b[i], 2)}));
    }
    return out;
}

}  // namespace rm427
