#include "channels/ChannelColumns.h"

#include "channels/ChannelCsv.h"
#include "channels/FreqCodec.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

// Text numbers of the choice texts.
enum : int {
    txtBeatShift = 1131,
    txtNone = 1137,
    txtWide = 1145,
    txtNarrow = 1146,
    txtHigh = 1147,
    txtLow = 1148,
    txtOn = 1149,
    txtOff = 1150,
    txtYes = 1151,
    txtNo = 1152,
    txtCompand = 1384,
    txtScramble = 1385,
    txtMid = 1399
};

const ChannelColumnInfo kColumns[kChannelColumns] = {
    {1120, "Channel", {}, -1, -1},
    {1121, "RxFreq", {}, -1, -1},
    {1122, "TxFreq", {}, -1, -1},
    {1123, "Decode", {}, -1, -1},
    {1124, "Encode", {}, -1, -1},
    // A power text that is neither high nor low is saved as mid.
    {1127,
     "Power",
     {{txtHigh, nullptr, "High"}, {txtMid, nullptr, "Mid"}, {txtLow, nullptr, "Low"}},
     0,
     1},
    {1128, "Bandwidth", {{txtWide, nullptr, "FM"}, {txtNarrow, nullptr, "NFM"}}, 0, 0},
    {1132, "ScanAdd", {{txtNo, nullptr, "S"}, {txtYes, nullptr, ""}}, 1, 1},
    {1131,
     "BeatShift",
     {{txtOff, nullptr, nullptr}, {kBeatShift1Text, "1", nullptr}, {kBeatShift2Text, "2", nullptr}},
     0,
     0},
    {1129, "BCL", {{txtOff, nullptr, nullptr}, {txtOn, nullptr, nullptr}}, 0, 0},
    {1382, "VOX", {{txtOff, nullptr, nullptr}, {txtOn, nullptr, nullptr}}, 0, 0},
    {1383,
     "Option",
     {{txtOff, nullptr, nullptr}, {txtCompand, nullptr, nullptr}, {txtScramble, nullptr, nullptr}},
     0,
     0},
    {1349, "Name", {}, -1, -1},
};

bool IsColumn(int col) { return col >= 0 && col < kChannelColumns; }

int ChoiceCount(int col) { return IsColumn(col) ? static_cast<int>(kColumns[col].choices.size()) : 0; }

std::string TextOf(int language, int text) {
    if (text == kBeatShift1Text) return LoadText(language, txtBeatShift) + "1";
    if (text == kBeatShift2Text) return LoadText(language, txtBeatShift) + "2";
    return LoadText(language, text);
}

}  // namespace

const ChannelColumnInfo& ChannelColumnOf(int col) { return kColumns[IsColumn(col) ? col : 0]; }

int ChannelColumnOfCsvName(const std::string& name) {
    const std::string n = CsvLower(CsvTrim(name));
    for (int c = 0; c < kChannelColumns; ++c)
        if (n == CsvLower(kColumns[c].csvName)) return c;
    return -1;
}

std::string ChoiceText(int language, int col, int index) {
    if (index < 0 || index >= ChoiceCount(col)) return {};
    return TextOf(language, kColumns[col].choices[index].text);
}

std::vector<std::string> ChoiceTexts(int language, int col) {
    std::vector<std::string> out;
    for (int i = 0; i < ChoiceCount(col); ++i) out.push_back(ChoiceText(language, col, i));
    return out;
}

int FindChoice(int language, int col, const std::string& text) {
    for (int i = 0; i < ChoiceCount(col); ++i)
        if (text == ChoiceText(language, col, i)) return i;
    return -1;
}

int ChoiceOfWord(int col, const std::string& word) {
    const std::string w = CsvTrim(word);
    for (int language : {0, 1}) {
        const int i = FindChoice(language, col, w);
        if (i >= 0) return i;
    }
    return ChoiceOfCsvWord(col, w);
}

int CellChoice(int language, int col, const std::string& text) {
    int i = FindChoice(language, col, text);
    if (i < 0) i = ChoiceOfWord(col, text);
    return i >= 0 ? i : ChannelColumnOf(col).unmatched;
}

int ChoiceOfCsvWord(int col, const std::string& word) {
    const std::string w = CsvLower(CsvTrim(word));
    for (int i = 0; i < ChoiceCount(col); ++i) {
        const ChannelChoice& c = kColumns[col].choices[i];
        if (w == CsvLower(TextOf(0, c.text)) || (c.csvAlias && w == c.csvAlias)) return i;
    }
    return -1;
}

std::string CsvChoiceList(int col) {
    std::string out;
    for (int i = 0; i < ChoiceCount(col); ++i) out += (i ? ", " : "") + ChoiceText(0, col, i);
    return out;
}

int ChoiceOfCommonWord(int col, const std::string& word) {
    const std::string w = CsvLower(CsvTrim(word));
    for (int i = 0; i < ChoiceCount(col); ++i) {
        const char* common = kColumns[col].choices[i].commonWord;
        if (common && w == CsvLower(common)) return i;
    }
    return -1;
}

std::string CommonWordOfCell(int language, int col, const std::string& text) {
    return CommonWordOf(col, CellChoice(language, col, text));
}

std::string CommonWordOf(int col, int i) {
    if (i < 0 || i >= ChoiceCount(col) || !kColumns[col].choices[i].commonWord) return {};
    return kColumns[col].choices[i].commonWord;
}

const std::vector<BatchItem>& BatchItems(int col) {
    static const std::vector<BatchItem> kItems[kChannelColumns] = {
        {},
        {},
        {},
        {},
        {},
        {{txtHigh, powerHigh}, {txtLow, powerLow}},
        {{txtWide, bandwidthWide}, {txtNarrow, bandwidthNarrow}},
        {{txtYes, scanAddYes}, {txtNo, scanAddNo}},
        {{txtOff, beatShiftOff}, {kBeatShift1Text, beatShift1}, {kBeatShift2Text, beatShift2}},
        {{txtYes, choiceOn}, {txtNo, choiceOff}},
        {{txtYes, choiceOn}, {txtNo, choiceOff}},
        {{txtOff, optionOff}, {txtCompand, optionCompand}, {txtScramble, optionScramble}},
        {},
    };
    return kItems[IsColumn(col) ? col : 0];
}

std::vector<std::string> BatchItemTexts(int language, int col) {
    std::vector<std::string> out;
    for (const BatchItem& i : BatchItems(col)) out.push_back(TextOf(language, i.text));
    return out;
}

int BatchItemChoice(int col, int item) {
    const std::vector<BatchItem>& items = BatchItems(col);
    if (items.empty()) return -1;
    if (item < 0 || item >= static_cast<int>(items.size())) item = 0;
    return items[static_cast<std::size_t>(item)].choice;
}

std::string BatchCellText(int language, int col, int item) {
    return ChoiceText(language, col, BatchItemChoice(col, item));
}

std::string NewChannelText(int language, int col) {
    if (col == colDecode || col == colEncode) return LoadText(language, txtNone);
    return ChoiceText(language, col, ChannelColumnOf(col).newChannel);
}

void ShowFreqOutOfRange(MessageBoxes& boxes, int language) {
    MessageRequest m;
    m.text = LoadText(language, 1321);
    m.title = "RM-427";
    m.icon = MsgIcon::Exclamation;
    m.buttons = MsgButtons::Ok;
    boxes.Show(m);
}

}  // namespace rm427
