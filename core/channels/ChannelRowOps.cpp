#include "channels/ChannelRowOps.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"

namespace rm427 {

bool ChannelProgrammed(const ChannelRow& row) { return !row[colRxFreq].empty(); }

void ClearChannel(ChannelRow& row) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) row[c].clear();
}

int ChannelCount(const ChannelRows& rows) { return rows.empty() ? 0 : int(rows.size()) - 1; }

namespace {

// Cells 1..12 of a channel, without its number.
ChannelRow Cells(const ChannelRow& row) {
    ChannelRow r = row;
    r[colChannel].clear();
    return r;
}

void PutCells(ChannelRow& row, const ChannelRow& cells) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) row[c] = cells[c];
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

int ChannelsPushedOff(const ChannelRows& rows, int count) {
    const int n = ChannelCount(rows);
    int pushed = 0;
    for (int r = std::max(1, n - count + 1); r <= n; ++r) pushed += ChannelProgrammed(rows[r]);
    return pushed;
}

void InsertChannels(ChannelRows& rows, int at, int count) {
    const int n = ChannelCount(rows);
    if (at < 1 || at > n || count < 1) return;
    count = std::min(count, n - at + 1);
    for (int r = n; r >= at + count; --r) PutCells(rows[r], rows[r - count]);
    for (int r = at; r < at + count; ++r) ClearChannel(rows[r]);
}

void RemoveChannels(ChannelRows& rows, int first, int count) {
    const int n = ChannelCount(rows);
    if (first < 1 || first > n || count < 1) return;
    count = std::min(count, n - first + 1);
    for (int r = first; r + count <= n; ++r) PutCells(rows[r], rows[r + count]);
    for (int r = n - count + 1; r <= n; ++r) ClearChannel(rows[r]);
}

bool MoveChannels(ChannelRows& rows, int first, int last, int delta) {
    const int n = ChannelCount(rows);
    if (first < 1 || last < first || last > n || delta == 0) return false;
    if (first + delta < 1 || last + delta > n) return false;
    // Rotate the span the block and the channels it passes cover.
    const int lo = std::min(first, first + delta), hi = std::max(last, last + delta);
    std::vector<ChannelRow> span;
    for (int r = lo; r <= hi; ++r) span.push_back(Cells(rows[r]));
    if (delta < 0) std::rotate(span.begin(), span.begin() + (first - lo), span.end());
    else std::rotate(span.begin(), span.begin() + (last + 1 - lo), span.end());
    for (int r = lo; r <= hi; ++r) PutCells(rows[r], span[r - lo]);
    return true;
}

namespace {

// Sort key of a cell: a number for frequencies and tones, the text otherwise.
struct Key {
    double number = 0;
    std::string text;
};

Key MakeKey(const std::string& cell, int column, const std::vector<std::string>& tones) {
    Key k;
    if (column == colRxFreq || column == colTxFreq) {
        k.number = cell.empty() ? -1 : double(FreqCount(cell));
    } else if (column == colDecode || column == colEncode) {
        const auto it = std::find(tones.begin(), tones.end(), cell);
        k.number = it == tones.end() ? -1 : double(it - tones.begin());
    } else {
        k.text = cell;
    }
    return k;
}

bool Less(const Key& a, const Key& b) {
    if (a.number != b.number) return a.number < b.number;
    return a.text < b.text;
}

}  // namespace

void SortChannels(ChannelRows& rows, int first, int last, int column, bool ascending, int language) {
    const int n = ChannelCount(rows);
    first = std::max(first, 1);
    last = std::min(last, n);
    if (first >= last || column < colRxFreq || column >= kChannelColumns) return;
    const std::vector<std::string> tones = ToneList(language);
    struct Item {
        Key key;
        bool programmed;
        ChannelRow cells;
    };
    std::vector<Item> items;
    for (int r = first; r <= last; ++r)
        items.push_back(
            {MakeKey(rows[r][column], column, tones), ChannelProgrammed(rows[r]), Cells(rows[r])});
    std::stable_sort(items.begin(), items.end(), [ascending](const Item& a, const Item& b) {
        if (a.programmed != b.programmed) return a.programmed;
        if (!a.programmed) return false;
        return ascending ? Less(a.key, b.key) : Less(b.key, a.key);
    });
    for (int r = first; r <= last; ++r) PutCells(rows[r], items[r - first].cells);
}

bool CompactChannels(ChannelRows& rows) {
    const int n = ChannelCount(rows);
    int to = 1;
    bool moved = false;
    for (int r = 1; r <= n; ++r) {
        if (!ChannelProgrammed(rows[r])) continue;
        if (r != to) {
            PutCells(rows[to], rows[r]);
            ClearChannel(rows[r]);
            moved = true;
        }
        ++to;
    }
    return moved;
}

namespace {

// "145.50000" -> "145.5", "438.00000" -> "438".
std::string ShortFreq(const std::string& f) {
    if (f.find('.') == std::string::npos) return f;
    std::string s = f;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

bool CellMatches(const std::string& cell, int column, const std::string& what) {
    if (cell.empty()) return false;
    const std::string c = Lower(cell);
    if (c.find(what) != std::string::npos) return true;
    return (column == colRxFreq || column == colTxFreq) && ShortFreq(c).find(what) != std::string::npos;
}

constexpr int kFindColumns[] = {colRxFreq, colTxFreq, colDecode, colEncode, colName};

}  // namespace

ChannelMatch FindChannel(const ChannelRows& rows, const std::string& what, int row, int col) {
    const int n = ChannelCount(rows);
    const std::string w = Lower(what);
    if (n == 0 || w.empty()) return {};
    row = std::min(std::max(row, 1), n);
    // Positions in reading order: (row - 1) * 13 + col; search from the one
    // after the start, all the way round to the start itself.
    const int total = n * kChannelColumns;
    const int start = (row - 1) * kChannelColumns + std::min(std::max(col, 0), kChannelColumns - 1);
    for (int step = 1; step <= total; ++step) {
        const int p = (start + step) % total;
        const int r = p / kChannelColumns + 1, c = p % kChannelColumns;
        if (std::find(std::begin(kFindColumns), std::end(kFindColumns), c) == std::end(kFindColumns))
            continue;
        if (CellMatches(rows[r][c], c, w)) return {r, c};
    }
    return {};
}

}  // namespace rm427
