#include "file/ImageDiff.h"

#include <cstdio>
#include <set>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "settings/SettingsRow.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

ChannelRows RowsOf(const CodeplugImage& image) {
    Module1 s;
    s.Language = 0;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

// The texts of the settings window's lists, English.
std::string ListText(int list, int index) {
    auto t = [](int n) { return LoadText(0, n); };
    const std::string offOn[2] = {t(1150), t(1149)};
    switch (list) {
    case setSquelch:
    case setVoxGain:
        return std::to_string(list == setSquelch ? index : index + 1);
    case setBatterySave:
    case setBeep:
    case setVoice:
        return offOn[index & 1];
    case setTimeOut:
        return index == 0 ? t(1150) : std::to_string(index) + t(1388);
    case setScanMode:
        return index == 0 ? t(1393) : t(1392);
    case setPowerOff:
        return index == 0 ? t(1150) : std::to_string(index) + t(1394);
    case setWorkingMode:
        return t(1395 + index);
    case setVoxDelay:
        return std::to_string(index + 1) + t(1387);
    case setChannelDisplay:
        return index == 0 ? t(1398) : t(1370);
    }
    return std::to_string(index);
}

std::string ListLabel(int list) {
    static const int ids[kSettingsLists] = {1161, 1164, 1386, 0, 1165, 1163, 1390, 1178, 1173, 1174, 1391};
    return list == setScanMode ? LoadText(0, 1195) + LoadText(0, 1178) : LoadText(0, ids[list]);
}

std::string PowerOnText(int index) {
    switch (index) {
    case powerOnOff: return LoadText(0, 1150);
    case powerOnMessage: return "Dis. Information";
    case powerOnBattery: return LoadText(0, 1480);
    }
    return "(none)";
}

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
    const ChannelRows ra = RowsOf(a), rb = RowsOf(b);
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
    const SettingsSelections sa = ShowSettings(a), sb = ShowSettings(b);
    struct Field { std::string name, from, to; std::vector<std::pair<int, int>> bits; };
    std::vector<Field> fields;
    const std::vector<std::pair<int, int>> listBits[kSettingsLists] = {
        {{0xE95, 0xFF}}, {{0xE9B, 0x01}}, {{0xE98, 0xF0}}, {{0xE9A, 0x08}}, {{0xE9B, 0x02}},
        {{0xE9A, 0x20}}, {{0xE98, 0x0F}}, {{0xE91, 0x03}}, {{0xE99, 0x0F}}, {{0xE99, 0xF0}},
        {{0xE9B, 0x40}}};
    for (int l = 0; l < kSettingsLists; ++l)
        fields.push_back({ListLabel(l), ListText(l, sa.list[l]), ListText(l, sb.list[l]), listBits[l]});
    fields.push_back({LoadText(0, 1177), sa.voxInhibit ? LoadText(0, 1149) : LoadText(0, 1150),
                      sb.voxInhibit ? LoadText(0, 1149) : LoadText(0, 1150), {{0xE9A, 0x10}}});
    fields.push_back({LoadText(0, 1500), PowerOnText(sa.powerOnDisplay), PowerOnText(sb.powerOnDisplay),
                      {{0xE9A, 0xC0}}});
    fields.push_back({"Dis. Information", sa.message, sb.message,
                      {{0xE9C, 0xFF}, {0xE9D, 0xFF}, {0xE9E, 0xFF}, {0xE9F, 0xFF}}});
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
