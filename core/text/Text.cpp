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

}  // namespace rm427
