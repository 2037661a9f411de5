#include "channels/ChannelRecord.h"

#include "channels/FreqCodec.h"

namespace rm427 {

int ChannelOffset(int n) {
    const int i = n - 1;
    return 512 * (i / 18) + kChannelRecordSize * (i % 18);
}

int RecordStep(std::uint8_t byte9) {
    const int code = byte9 >> 5;
    return (code == 0 || code == 2 || code == 4) ? kStep625 : kStep5k;
}

std::uint8_t NameCharCode(char c) {
    for (int i = 0; i < kNameCharCount; ++i)
        if (kNameChars[i] == c) return static_cast<std::uint8_t>(i);
    return kNoNameChar;
}

void PackNameCodes(const std::uint8_t c[5], std::uint8_t out[4]) {
    out[0] = static_cast<std::uint8_t>(((c[0] & 63) << 2) | ((c[1] & 63) >> 4));
    out[1] = static_cast<std::uint8_t>(((c[1] & 15) << 4) | ((c[2] & 63) >> 2));
    out[2] = static_cast<std::uint8_t>(((c[2] & 3) << 6) | (c[3] & 63));
    out[3] = static_cast<std::uint8_t>((c[4] & 63) << 2);
}

void UnpackNameCodes(const std::uint8_t in[4], std::uint8_t c[5]) {
    c[0] = in[0] >> 2;
    c[1] = static_cast<std::uint8_t>(((in[0] & 3) << 4) | (in[1] >> 4));
    c[2] = static_cast<std::uint8_t>(((in[1] & 15) << 2) | (in[2] >> 6));
    c[3] = in[2] & 63;
    c[4] = in[3] >> 2;
}

std::string DecodeName(const std::uint8_t in[4]) {
    if (in[0] == 0xFF) return {};
    std::uint8_t c[5];
    UnpackNameCodes(in, c);
    std::string name;
    for (std::uint8_t code : c)
        if (code < kNameCharCount) name += kNameChars[code];
    return name;
}

void EncodeName(const std::string& name, std::uint8_t out[4]) {
    if (name.empty()) {
        out[0] = out[1] = out[2] = out[3] = 0xFF;
        return;
    }
    std::uint8_t c[5] = {kNoNameChar, kNoNameChar, kNoNameChar, kNoNameChar, kNoNameChar};
    int pos = 0;
    for (std::size_t i = 0; i < name.size() && pos < kNameLength; ++pos) {
        const unsigned char ch = static_cast<unsigned char>(name[i]);
        if (ch < 0x80) {
            c[pos] = NameCharCode(static_cast<char>(ch));
            ++i;
        } else {
            // One character of several bytes: its lead byte and continuations.
            ++i;
            while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) ++i;
        }
    }
    PackNameCodes(c, out);
}

namespace {

bool ValidChannel(int n) { return n >= 1 && n <= kMaxChannels; }

std::string RowRxText(const ChannelRows& rows, int n) {
    return n >= 0 && static_cast<std::size_t>(n) < rows.size() ? rows[n][colRxFreq] : std::string();
}

}  // namespace

std::string GetCHFreq(const Module1& state, const ChannelRows& rows, int n,
                      const std::string& selector) {
    if (!ValidChannel(n)) return {};
    const std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
    if (selector == "Rx") {
        if (rec[record::kRxWhole] == record::kEmpty) return {};
        PackedFreq p;
        p.whole = static_cast<std::uint16_t>((rec[record::kRxWhole] << 8) | rec[record::kRxWhole + 1]);
        p.fraction = rec[record::kRxFlags] & record::kFraction;
        return std::to_string(UnpackFreq(p, state.FreqStep));
    }
    const std::int64_t r = FreqCount(NormaliseFreq(RowRxText(rows, n)));
    PackedFreq p;
    p.whole =
        static_cast<std::uint16_t>((rec[record::kOffsetWhole] << 8) | rec[record::kOffsetWhole + 1]);
    p.fraction = rec[record::kShift] & record::kFraction;
    const std::int64_t o = UnpackFreq(p, state.FreqStep);
    switch (rec[record::kShift] & record::kShiftMask) {
    case record::kShiftPlus: return std::to_string(r + o);
    case record::kShiftMinus: return std::to_string(r - o);
    default: return std::to_string(r);
    }
}

void PutCHFreq(Module1& state, const ChannelRows& rows, int n, const std::string& selector,
               std::string& text) {
    text = NormaliseFreq(text);
    if (!ValidChannel(n)) return;
    std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
    const std::int64_t t = FreqCount(text);
    if (selector == "Rx") {
        const PackedFreq p = PackFreq(t, state.FreqStep);
        rec[record::kRxWhole] = static_cast<std::uint8_t>(p.whole >> 8);
        rec[record::kRxWhole + 1] = static_cast<std::uint8_t>(p.whole & 0xFF);
        std::uint8_t& flags = rec[record::kRxFlags];
        flags = static_cast<std::uint8_t>((flags & ~record::kFraction) | p.fraction);
        return;
    }
    PutOffset(rec, t - FreqCount(NormaliseFreq(RowRxText(rows, n))), state.FreqStep);
}

void PutOffset(std::uint8_t* rec, std::int64_t o, int step) {
    std::uint8_t& shift = rec[record::kShift];
    if (o == 0) {
        shift = static_cast<std::uint8_t>(shift | record::kShiftNone);
        rec[record::kOffsetWhole] = 0x00;
        rec[record::kOffsetWhole + 1] = record::kNoOffsetLow;
    } else if (o < 0) {
        shift = static_cast<std::uint8_t>((shift & ~record::kShiftMask) | record::kShiftMinus);
        o = -o;
    } else {
        shift = static_cast<std::uint8_t>((shift & ~record::kShiftMask) | record::kShiftPlus);
    }
    const PackedFreq p = PackFreq(o, step);
    shift = static_cast<std::uint8_t>((shift & ~record::kFraction) | p.fraction);
    if (o != 0) {
        rec[record::kOffsetWhole] = static_cast<std::uint8_t>(p.whole >> 8);
        rec[record::kOffsetWhole + 1] = static_cast<std::uint8_t>(p.whole & 0xFF);
    }
}

}  // namespace rm427
