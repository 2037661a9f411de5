#include "channels/ChannelRows.h"

#include <algorithm>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"
#include "image/RecordLayout.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {

// Channels the table and the rows both hold.
int ChannelsIn(const Module1& state, const ChannelRows& rows) {
    int n = std::min<int>(state.CHCount, kMaxChannels);
    if (rows.empty()) return 0;
    return std::min<int>(n, static_cast<int>(rows.size()) - 1);
}

void ClearCells(ChannelRow& row) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) row[c].clear();
}

}  // namespace

ChannelRows MakeChannelRows(const Module1& state) {
    ChannelRows rows(static_cast<std::size_t>(state.CHCount) + 1);
    SetColumnTitles(state, rows);
    for (std::size_t n = 1; n < rows.size(); ++n) rows[n][colChannel] = std::to_string(n);
    return rows;
}

void SetColumnTitles(const Module1& state, ChannelRows& rows) {
    if (rows.empty()) rows.resize(1);
    for (int c = 0; c < kChannelColumns; ++c)
        rows[0][c] = LoadText(state.Language, ChannelColumnOf(c).title);
}

void LoadChannelRows(Module1& state, ChannelRows& rows) {
    const int lang = state.Language;
    if (rows.size() < static_cast<std::size_t>(state.CHCount) + 1) {
        const std::size_t old = rows.size();
        rows.resize(static_cast<std::size_t>(state.CHCount) + 1);
        if (old == 0) SetColumnTitles(state, rows);
        for (std::size_t n = std::max<std::size_t>(old, 1); n < rows.size(); ++n)
            rows[n][colChannel] = std::to_string(n);
    }
    const int count = ChannelsIn(state, rows);
    for (int n = 1; n <= count; ++n) {
        const std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
        state.FreqStep = static_cast<std::int16_t>(RecordStep(rec[record::kStepSignalling]));
        RenderChannel(DecodeChannel(rec), lang, rows[n]);
    }
}

void SaveChannelRows(Module1& state, const ChannelRows& rows) {
    const int lang = state.Language;
    const int count = ChannelsIn(state, rows);
    for (int n = 1; n <= count; ++n) {
        std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
        const Channel ch = ParseRow(rows[n], lang, DecodeChannel(rec));
        if (ch.programmed) state.FreqStep = static_cast<std::int16_t>(ch.Step());
        EncodeChannel(ch, rec);
    }
}

ChannelRows EnglishChannelRows(const CodeplugImage& image) {
    Module1 s;
    s.Language = 0;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

int ProgrammedChannels(const CodeplugImage& image) {
    int programmed = 0;
    for (int n = 1; n <= kMaxChannels; ++n) programmed += ChannelAt(image, n).programmed;
    return programmed;
}

void ChannelDelete(Module1& state, ChannelRows& rows) {
    DeleteCurrentChannel(state, static_cast<int>(rows.size()) - 1,
                         [&](int r) { ClearCells(rows[static_cast<std::size_t>(r)]); });
}

void ChannelDown(Module1& state, ChannelRows& rows) {
    MoveCurrentChannel(state, static_cast<int>(rows.size()) - 1, 1, [&](int a, int b) {
        for (int c = colRxFreq; c < kChannelColumns; ++c)
            std::swap(rows[static_cast<std::size_t>(a)][c], rows[static_cast<std::size_t>(b)][c]);
    });
}

void ChannelUp(Module1& state, ChannelRows& rows) {
    MoveCurrentChannel(state, static_cast<int>(rows.size()) - 1, -1, [&](int a, int b) {
        for (int c = colRxFreq; c < kChannelColumns; ++c)
            std::swap(rows[static_cast<std::size_t>(a)][c], rows[static_cast<std::size_t>(b)][c]);
    });
}

}  // namespace rm427
