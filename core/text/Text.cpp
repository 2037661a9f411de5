#include <algorithm>
#include <unordered_map>

#include "text/TextTable.h"

namespace rm427 {

const char* FindTextEntry(int entry) {
    static const std::unordered_map<int, const char*> index = [] {
        std::unordered_map<int, const char*> m;
        for (std::size_t i = 0; i < kTextTableSize; ++i)
            m.emplace(kTextTable[i].number, kTextTable[i].text);
        return m;
    }();
    auto it = index.find(entry);
    return it == index.end() ? nullptr : it->second;
}

std::string LoadText(int language, int n) {
    const int lang = (language == 1) ? 1 : 0;
    const char* t = FindTextEntry(lang * 1000 + n);
    return t ? std::string(t) : std::string();
}

std::string FillText(std::string text, const std::vector<std::string>& args) {
    // One pass over the text: what an argument brings (a channel name with
    // "%1" in it) is never taken for a place of its own.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t arg = 0, end = 0, n = 0;
        // %10 before %1: the longest number that names an argument.
        for (std::size_t j = i + 1; text[i] == '%' && j < text.size() && j <= i + 2; ++j) {
            if (text[j] < '0' || text[j] > '9') break;
            n = n * 10 + static_cast<std::size_t>(text[j] - '0');
            if (n >= 1 && n <= args.size()) {
                arg = n;
                end = j;
            }
        }
        if (arg) {
            out += args[arg - 1];
            i = end;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CountText(int language, int n, long long count) {
    // Texts with a count, and their singular twins.
    static const std::pair<int, int> kSingular[] = {
        {3202, 3880}, {3208, 3881}, {3434, 3882}, {3435, 3883}, {3436, 3884},
        {3518, 3531}, {3343, 3347}, {3344, 3348}, {3350, 3351},
    };
    if (count == 1)
        for (const auto& [plural, one] : kSingular)
            if (plural == n) n = one;
    return FillText(LoadText(language, n), {std::to_string(count)});
}

}  // namespace rm427
