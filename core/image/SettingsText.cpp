#include "image/SettingsText.h"

#include <cctype>
#include <cmath>

namespace rm427 {

double LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0, scale = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c)) {
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.' && scale == 0) {
            scale = 0.1;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

std::uint8_t ModelCodeFromSetting(const std::string& text) {
    if (text.empty()) return 4;
    double v = LeadingNumber(text);
    // Only the low four bits matter; keep the rounding in a safe range.
    v = std::fmod(std::nearbyint(v), 65536.0);
    const long long n = static_cast<long long>(v);
    return static_cast<std::uint8_t>(n & 15);
}

std::uint8_t LanguageFromSetting(const std::string& text) { return LeadingNumber(text) == 1 ? 1 : 0; }

}  // namespace rm427
