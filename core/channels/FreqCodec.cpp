#include "channels/FreqCodec.h"

#include <cstdint>
#include <limits>

#include "image/RecordLayout.h"

namespace rm427 {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of a text split into its digits.
struct LeadingNumber {
    std::string whole;
    std::string fraction;
};

LeadingNumber ParseLeading(const std::string& text) {
    LeadingNumber n;
    bool point = false;
    for (char c : text) {
        if (IsDigit(c)) {
            (point ? n.fraction : n.whole) += c;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return n;
}

}  // namespace

double NumericValue(const std::string& text) {
    const LeadingNumber n = ParseLeading(text);
    double v = 0;
    for (char c : n.whole) v = v * 10 + (c - '0');
    double scale = 0.1;
    for (char c : n.fraction) {
        v += (c - '0') * scale;
        scale /= 10;
    }
    return v;
}

std::string NormaliseFreq(const std::string& text) {
    std::string out = text.substr(0, 3);
    out += '.';
    if (text.size() > 4) out += text.substr(4, 5);
    return out;
}

std::int32_t FreqCount(const std::string& text) {
    const LeadingNumber n = ParseLeading(text);
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t count = 0;
    for (char c : n.whole) {
        count = count * 10 + (c - '0');
        if (count > kMax) return static_cast<std::int32_t>(kMax);
    }
    for (std::size_t i = 0; i < 5; ++i)
        count = count * 10 + (i < n.fraction.size() ? n.fraction[i] - '0' : 0);
    if (n.fraction.size() > 5 && n.fraction[5] >= '5') ++count;
    return static_cast<std::int32_t>(count > kMax ? kMax : count);
}

std::string FormatCount(std::int64_t count) {
    std::string sign;
    std::uint64_t mag;
    if (count < 0) {
        sign = "-";
        mag = static_cast<std::uint64_t>(-(count + 1)) + 1;
    } else {
        mag = static_cast<std::uint64_t>(count);
    }
    std::string frac = std::to_string(mag % 100000);
    frac.insert(0, 5 - frac.size(), '0');
    return sign + std::to_string(mag / 100000) + "." + frac;
}

std::string RoundFreq(const std::string& text, int column, const std::string& rowRxText) {
    const std::string norm = NormaliseFreq(text);
    if (column != 1 && column != 2) return norm;
    const std::int64_t f = FreqCount(norm);  // exact: at most five decimals
    // Halves away from zero; counts here are never negative.
    const std::int64_t c5 = (f + kStep5k / 2) / kStep5k * kStep5k;
    const std::int64_t c625 = (2 * f + kStep625) / (2 * kStep625) * kStep625;
    std::int64_t chosen;
    if (column == 1) {
        const std::int64_t d5 = f > c5 ? f - c5 : c5 - f;
        const std::int64_t d625 = f > c625 ? f - c625 : c625 - f;
        chosen = d625 < d5 ? c625 : c5;
    } else {
        const std::int64_t r = FreqCount(NormaliseFreq(rowRxText));
        chosen = (r % kStep5k != 0) ? c625 : c5;
    }
    return FormatCount(chosen);
}

namespace {

// Reads a leading number as FreqCount does, one character at a time.
struct CountReader {
    std::int64_t whole = 0, fraction = 0;
    int fractionDigits = 0;
    bool point = false, done = false, saturated = false, roundUp = false;
    void Feed(char c) {
        if (done) return;
        if (IsDigit(c)) {
            if (!point) {
                if (!saturated) whole = whole * 10 + (c - '0');
                if (whole > std::numeric_limits<std::int32_t>::max()) saturated = true;
            } else if (fractionDigits < 5) {
                fraction = fraction * 10 + (c - '0');
                ++fractionDigits;
            } else if (fractionDigits++ == 5) {
                roundUp = c >= '5';
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            done = true;
        }
    }
    std::int32_t Count() const {
        constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
        if (saturated) return static_cast<std::int32_t>(kMax);
        std::int64_t f = fraction;
        for (int i = fractionDigits; i < 5; ++i) f *= 10;
        const std::int64_t count = whole * 100000 + f + (roundUp ? 1 : 0);
        return static_cast<std::int32_t>(count > kMax ? kMax : count);
    }
};

// Reads a leading number as NumericValue does.
struct ValueReader {
    double value = 0, scale = 0.1;
    bool point = false, done = false;
    void Feed(char c) {
        if (done) return;
        if (IsDigit(c)) {
            if (!point) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            done = true;
        }
    }
};

std::int64_t Raster(std::int64_t f, int column, std::int64_t rowRx) {
    // Halves away from zero; counts here are never negative.
    const std::int64_t c5 = (f + kStep5k / 2) / kStep5k * kStep5k;
    const std::int64_t c625 = (2 * f + kStep625) / (2 * kStep625) * kStep625;
    if (column == 1) {
        const std::int64_t d5 = f > c5 ? f - c5 : c5 - f;
        const std::int64_t d625 = f > c625 ? f - c625 : c625 - f;
        return d625 < d5 ? c625 : c5;
    }
    return (rowRx % kStep5k != 0) ? c625 : c5;
}

}  // namespace

std::int64_t ShownCount(std::int64_t count) {
    constexpr std::int64_t k100MHz = 10000000, k1000MHz = 100000000;
    if (count >= k100MHz && count < k1000MHz) return count;
    return FreqCount(NormaliseFreq(FormatCount(count)));
}

FreqEntry EnterFreq(const std::string& text, int column, std::int64_t rowRx, int compareLow,
                    int compareHigh, int substLow, int substHigh) {
    // One pass: the value as written, and the digits by position once the
    // leading zeros are dropped (characters 1-3, the fourth taken as the
    // point, 5-9), as NormaliseFreq places them.
    ValueReader value;
    CountReader positional;
    std::size_t zeros = 0;
    bool leading = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        value.Feed(c);
        if (leading && c == '0' && i + 1 < text.size() && IsDigit(text[i + 1])) {
            ++zeros;
            continue;
        }
        leading = false;
        const std::size_t p = i - zeros;
        if (p == 3) positional.Feed('.');
        else if (p < 9) positional.Feed(c);
    }
    positional.Feed('.');  // a text of three characters or less: "145" is "145."
    FreqEntry e;
    if (value.value > compareHigh) {
        e.count = static_cast<std::int32_t>(substHigh) * 100000;
        e.outOfRange = true;
    } else if (value.value < compareLow) {
        e.count = static_cast<std::int32_t>(substLow) * 100000;
        e.outOfRange = true;
    } else {
        e.count = static_cast<std::int32_t>(Raster(positional.Count(), column, rowRx));
    }
    return e;
}

FreqCheckResult CheckFreq(const std::string& text, int column, const std::string& rowRxText,
                          int compareLow, int compareHigh, int substLow, int substHigh) {
    FreqCheckResult r;
    if (column == 1 || column == 2) {
        const FreqEntry e = EnterFreq(text, column, FreqCount(NormaliseFreq(rowRxText)), compareLow,
                                      compareHigh, substLow, substHigh);
        r.text = FormatCount(e.count);
        r.outOfRange = e.outOfRange;
        return r;
    }
    const double v = NumericValue(text);
    if (v > compareHigh) {
        r.text = FormatCount(static_cast<std::int64_t>(substHigh) * 100000);
        r.outOfRange = true;
    } else if (v < compareLow) {
        r.text = FormatCount(static_cast<std::int64_t>(substLow) * 100000);
        r.outOfRange = true;
    } else {
        std::size_t zeros = 0;
        while (zeros + 1 < text.size() && text[zeros] == '0' && IsDigit(text[zeros + 1])) ++zeros;
        r.text = RoundFreq(text.substr(zeros), column, rowRxText);
    }
    return r;
}

FreqCheckResult CheckFreqEditor(const Module1& s, const std::string& text, int column,
                                const std::string& rowRxText) {
    return CheckFreq(text, column, rowRxText, s.EditLimitLow, s.EditLimitHigh, s.FreqLimitLow,
                     s.FreqLimitHigh);
}

FreqEntry EnterFreqEditor(const Module1& s, const std::string& text, int column, std::int64_t rowRx) {
    return EnterFreq(text, column, rowRx, s.EditLimitLow, s.EditLimitHigh, s.FreqLimitLow,
                     s.FreqLimitHigh);
}

FreqCheckResult CheckFreqBatch(const Module1& s, const std::string& text, int column,
                               const std::string& rowRxText) {
    return CheckFreq(text, column, rowRxText, s.FreqLimitLow, s.FreqLimitHigh, s.FreqLimitLow,
                     s.FreqLimitHigh);
}

PackedFreq PackFreq(std::int64_t count, int step) {
    if (count < 0) count = 0;
    PackedFreq p;
    p.whole = static_cast<std::uint16_t>((count / 10000) & 0xFFFF);
    p.fraction = step > 0 ? static_cast<std::uint8_t>(((count % 10000) / step) & record::kFraction)
                          : std::uint8_t{0};
    return p;
}

std::int64_t UnpackFreq(PackedFreq packed, int step) {
    return static_cast<std::int64_t>(packed.whole) * 10000 +
           static_cast<std::int64_t>(packed.fraction & record::kFraction) * (step > 0 ? step : 0);
}

}  // namespace rm427
