#include "channels/ChannelRowOps.h"

#include <algorithm>
#include <cctype>

#include "channels/ChannelRecord.h"
#include "channels/ToneCodec.h"

namespace rm427 {

ChannelList ChannelListOf(const Module1& state) {
    ChannelList list;
    const int n = std::min<int>(state.CHCount, kMaxChannels);
    list.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) list.push_back(ChannelAt(state.Image, i));
    return list;
}

void PutChannelList(Module1& state, const ChannelList& list) {
    for (std::size_t i = 0; i < list.size(); ++i) PutChannel(state.Image, int(i) + 1, list[i]);
}

bool ChannelProgrammed(const ChannelRow& row) { return !row[colRxFreq].empty(); }

int ChannelCount(const ChannelRows& rows) { return rows.empty() ? 0 : int(rows.size()) - 1; }

namespace {

int Count(const ChannelList& list) { return int(list.size()); }
Channel& At(ChannelList& list, int n) { return list[std::size_t(n - 1)]; }
const Channel& At(const ChannelList& list, int n) { return list[std::size_t(n - 1)]; }

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

int ChannelsPushedOff(const ChannelList& list, int count) {
    const int n = Count(list);
    int pushed = 0;
    for (int r = std::max(1, n - count + 1); r <= n; ++r) pushed += At(list, r).programmed;
    return pushed;
}

void InsertChannels(ChannelList& list, int at, int count) {
    const int n = Count(list);
    if (at < 1 || at > n || count < 1) return;
    count = std::min(count, n - at + 1);
    for (int r = n; r >= at + count; --r) At(list, r) = At(list, r - count);
    for (int r = at; r < at + count; ++r) At(list, r) = Channel{};
}

void RemoveChannels(ChannelList& list, int first, int count) {
    const int n = Count(list);
    if (first < 1 || first > n || count < 1) return;
    count = std::min(count, n - first + 1);
    for (int r = first; r + count <= n; ++r) At(list, r) = At(list, r + count);
    for (int r = n - count + 1; r <= n; ++r) At(list, r) = Channel{};
}

bool MoveChannels(ChannelList& list, int first, int last, int delta) {
    const int n = Count(list);
    if (first < 1 || last < first || last > n || delta == 0) return false;
    if (first + delta < 1 || last + delta > n) return false;
    // Rotate the span the block and the channels it passes cover.
    const auto lo = list.begin() + std::min(first, first + delta) - 1;
    const auto hi = list.begin() + std::max(last, last + delta);
    if (delta < 0) std::rotate(lo, list.begin() + first - 1, hi);
    else std::rotate(lo, list.begin() + last, hi);
    return true;
}

void ChannelDelete(Module1& state, ChannelList& list) {
    DeleteCurrentChannel(state, Count(list), [&](int r) { At(list, r) = Channel{}; });
}

void ChannelDown(Module1& state, ChannelList& list) {
    MoveCurrentChannel(state, Count(list), 1,
                       [&](int a, int b) { std::swap(At(list, a), At(list, b)); });
}

void ChannelUp(Module1& state, ChannelList& list) {
    MoveCurrentChannel(state, Count(list), -1,
                       [&](int a, int b) { std::swap(At(list, a), At(list, b)); });
}

namespace {

// Sort key of a cell: a number for frequencies and tones, the text otherwise.
struct Key {
    double number = 0;
    std::string text;
};

Key MakeKey(const Channel& ch, int column, int language) {
    Key k;
    if (column == colRxFreq || column == colTxFreq) {
        k.number = double(column == colRxFreq ? ch.rx : ch.tx);
    } else if (column == colDecode || column == colEncode) {
        const int i = column == colDecode ? ch.decode : ch.encode;
        k.number = i > 0 && i < kToneCount ? i : 0;  // a code past the list shows "None"
    } else {
        k.text = ChannelCell(ch, column, language);
    }
    return k;
}

bool Less(const Key& a, const Key& b) {
    if (a.number != b.number) return a.number < b.number;
    return a.text < b.text;
}

}  // namespace

void SortChannels(ChannelList& list, int first, int last, int column, bool ascending, int language) {
    const int n = Count(list);
    first = std::max(first, 1);
    last = std::min(last, n);
    if (first >= last || column < colRxFreq || column >= kChannelColumns) return;
    struct Item {
        Key key;
        Channel ch;
    };
    std::vector<Item> items;
    for (int r = first; r <= last; ++r)
        items.push_back({MakeKey(At(list, r), column, language), At(list, r)});
    std::stable_sort(items.begin(), items.end(), [ascending](const Item& a, const Item& b) {
        if (a.ch.programmed != b.ch.programmed) return a.ch.programmed;
        if (!a.ch.programmed) return false;
        return ascending ? Less(a.key, b.key) : Less(b.key, a.key);
    });
    for (int r = first; r <= last; ++r) At(list, r) = items[std::size_t(r - first)].ch;
}

bool CompactChannels(ChannelList& list) {
    const int n = Count(list);
    int to = 1;
    bool moved = false;
    for (int r = 1; r <= n; ++r) {
        if (!At(list, r).programmed) continue;
        if (r != to) {
            At(list, to) = At(list, r);
            At(list, r) = Channel{};
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

ChannelMatch FindChannel(const ChannelList& list, const std::string& what, int row, int col,
                         int language) {
    const int n = Count(list);
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
        if (CellMatches(ChannelCell(At(list, r), c, language), c, w)) return {r, c};
    }
    return {};
}

}  // namespace rm427
