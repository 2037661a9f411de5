#include "radio/CloneProtocol.h"

#include <cmath>

#include "channels/Channel.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {
const Bytes kAccessWord = {'T', 'U', 'M', 'K', 'E', 'L'};
const Bytes kClosingWord = {'D', 'O', 'N', 'E'};
}  // namespace

int CloneTotalSteps(CloneDir dir) { return dir == CloneDir::Read ? kReadSteps : kWriteSteps; }

int CloneStepAddress(CloneDir dir, int step) {
    if (dir == CloneDir::Read) {
        if (step >= 1 && step <= 128) {
            const int k = step - 1;
            return kRadioBase + 0x200 * (k / 18) + 14 * (k % 18);
        }
        if (step == 129) return 0xAE90;
        if (step == 130) return 0xAEB0;
        return -1;
    }
    if (step >= 1 && step <= 114) {
        const int k = step - 1;
        return kRadioBase + 0x200 * (k / 16) + 0x10 * (k % 16);
    }
    if (step == 115) return 0xAE90;
    if (step == 116) return 0xAED3;
    return -1;
}

int CloneAnswerLength(CloneDir dir, int step) {
    if (step == 0) return 18;
    if (dir == CloneDir::Read) {
        if (step >= 1 && step <= 128) return 15;
        if (step == 129) return 17;
        if (step == 130) return 33;
        return 0;
    }
    return step >= 1 && step <= 116 ? 1 : 0;
}

Bytes CloneFrame(CloneDir dir, int step, const CodeplugImage& sendImage) {
    if (step == 0) return kAccessWord;
    const int addr = CloneStepAddress(dir, step);
    if (addr < 0) return kClosingWord;
    const auto hi = static_cast<std::uint8_t>(addr >> 8), lo = static_cast<std::uint8_t>(addr & 0xFF);
    if (dir == CloneDir::Read) {
        const std::uint8_t n = step <= 128 ? 0x0E : step == 129 ? 0x10 : 0x20;
        return {0x52, n, hi, lo};
    }
    if (step == 116) return {0x57, 0x03, hi, lo, 0x09, 0x0A, 0x1B};
    Bytes f = {0x57, 0x10, hi, lo};
    const int off = addr - kRadioBase;
    f.insert(f.end(), sendImage.begin() + off, sendImage.begin() + off + 16);
    return f;
}

std::vector<ChannelFreqText> ChannelFreqTexts(const ChannelRows& rows) {
    std::vector<ChannelFreqText> out(128);
    for (int n = 1; n <= 128 && n < static_cast<int>(rows.size()); ++n)
        out[n - 1] = {rows[n][colRxFreq], rows[n][colTxFreq]};
    return out;
}

std::vector<ChannelFreqText> ChannelFreqTexts(const CodeplugImage& image) {
    std::vector<ChannelFreqText> out;
    for (const Channel& ch : ImageChannels(image))
        out.push_back({ChannelCell(ch, colRxFreq, 0), ChannelCell(ch, colTxFreq, 0)});
    return out;
}

int WholeMHz(const std::string& text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return 0;
    const double v = NumericValue(text.substr(start));
    if (v > 1e6) return 0;
    return static_cast<int>(std::floor(v));
}

CodeplugImage MakeSendImage(const CodeplugImage& image, const std::vector<ChannelFreqText>& channels) {
    CodeplugImage send = image;
    bool any = false;
    for (std::size_t i = 0; i < channels.size() && i < 128; ++i)
        if (!channels[i].rx.empty()) any = true;
    if (!any) send[settings::kWorkingMode.offset] = 0x00;
    return send;
}

void BandCheck(CodeplugImage& send, int low, int high, const std::vector<ChannelFreqText>& channels) {
    const double lo = low / 10.0, hi = high / 10.0;
    for (int n = 1; n <= 128; ++n) {
        const ChannelFreqText empty;
        const ChannelFreqText& ch =
            static_cast<std::size_t>(n - 1) < channels.size() ? channels[n - 1] : empty;
        std::uint8_t* rec = send.data() + ChannelOffset(n);
        const int rx = WholeMHz(ch.rx);
        if (lo <= rx && rx <= hi) {
            const int tx = WholeMHz(ch.tx);
            if (tx < lo || tx > hi) {
                rec[record::kOffsetWhole] = 0x00;
                rec[record::kOffsetWhole + 1] = 0x00;
                rec[record::kShift] |= record::kShiftNone;
            }
        } else {
            for (int b = 0; b < record::kSize; ++b) rec[b] = record::kEmpty;
        }
    }
}

std::string ProgressText(int language, int value, int maximum) {
    int pct = 0;
    if (maximum > 0) pct = (value * 200 + maximum) / (2 * maximum);  // nearest whole percent
    return LoadText(language, 1330) + ":  " + std::to_string(pct) + "%";
}

bool ReadTransfersOffset(int off) {
    if (off < 0 || off >= kImageSize) return false;
    if (off >= settings::kRow && off < settings::kRow + settings::kRowSize) return true;
    if (off >= settings::kSecondRow && off <= settings::kSecondRowsEnd) return true;
    if (off < 0xE00) return off % 0x200 < 0xFC;
    return off <= 0xE1B;
}

bool WriteTransfersOffset(int off) {
    if (off < 0 || off >= kImageSize) return false;
    if (off >= settings::kRow && off < settings::kRow + settings::kRowSize) return true;
    if (off >= 0xED3 && off <= 0xED5) return false;  // fixed bytes, not from the image
    if (off < 0xE00) return off % 0x200 < 0x100;
    return off <= 0xE1F;
}

}  // namespace rm427
