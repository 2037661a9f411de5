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
    for (std::size_t i = args.size(); i-- > 0;) {  // %10 before %1
        const std::string key = "%" + std::to_string(i + 1);
        for (auto p = text.find(key); p != std::string::npos; p = text.find(key, p + args[i].size()))
            text.replace(p, key.size(), args[i]);
    }
    return text;
}

std::string CountText(int language, int n, long long count) {
    // Texts with a count, and their singular twins.
    static const std::pair<int, int> kSingular[] = {
        {3202, 3880}, {3208, 3881}, {3434, 3882}, {3435, 3883}, {3436, 3884}, {3518, 3531},
    };
    if (count == 1)
        for (const auto& [plural, one] : kSingular)
            if (plural == n) n = one;
    return FillText(LoadText(language, n), {std::to_string(count)});
}

}  // namespace rm427
