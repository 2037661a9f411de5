#include "radio/WriteCheck.h"

#include <algorithm>
#include <cstdio>

#include "channels/ChannelRecord.h"
#include "file/ImageDiff.h"
#include "text/TextTable.h"

namespace rm427 {

std::vector<BandChange> BandCheckChanges(const CodeplugImage& before, const CodeplugImage& after,
                                         const std::vector<ChannelFreqText>& channels) {
    std::vector<BandChange> out;
    for (int n = 1; n <= kMaxChannels; ++n) {
        const int off = ChannelOffset(n);
        const auto b = before.begin() + off, a = after.begin() + off;
        if (std::equal(b, b + kChannelRecordSize, a)) continue;
        if (before[off] == record::kEmpty) continue;  // an empty channel stays empty
        const bool blanked =
            std::all_of(a, a + kChannelRecordSize, [](std::uint8_t v) { return v == record::kEmpty; });
        BandChange c{blanked ? BandChange::SentEmpty : BandChange::OffsetRemoved, n, {}, {}};
        if (static_cast<std::size_t>(n - 1) < channels.size()) {
            c.rx = channels[n - 1].rx;
            c.tx = channels[n - 1].tx;
        }
        out.push_back(c);
    }
    return out;
}

std::string BandText(int low, int high) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d.%d - %d.%d MHz", low / 10, low % 10, high / 10, high % 10);
    return buf;
}

std::vector<std::string> BandCheckReport(int language, int low, int high,
                                         const std::vector<BandChange>& changes) {
    std::vector<std::string> out;
    if (changes.empty()) return out;
    out.push_back(FillText(LoadText(language, 3204), {BandText(low, high)}));
    for (const BandChange& c : changes)
        out.push_back(FillText(LoadText(language, c.kind == BandChange::SentEmpty ? 3205 : 3206),
                               {std::to_string(c.channel), c.rx, c.tx.empty() ? c.rx : c.tx}));
    return out;
}

CodeplugImage VerifiedImage(const CodeplugImage& sent, const CodeplugImage& readBack) {
    CodeplugImage v = sent;
    for (int i = 0; i < kImageSize; ++i)
        if (ReadTransfersOffset(i) && WriteTransfersOffset(i)) v[i] = readBack[i];
    return v;
}

std::vector<std::string> VerifyDifferences(const CodeplugImage& sent, const CodeplugImage& readBack,
                                           int language) {
    return DiffImages(sent, VerifiedImage(sent, readBack), language);
}

std::string VerifySummary(int language, std::size_t differences) {
    // A clean result must not claim more than the read back could see.
    if (differences == 0) return LoadText(language, 3201) + "\n" + LoadText(language, 3863);
    return CountText(language, 3202, static_cast<long long>(differences));
}

}  // namespace rm427
