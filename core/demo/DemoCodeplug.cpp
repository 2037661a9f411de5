#include "demo/DemoCodeplug.h"

#include "channels/ChannelColumns.h"
#include "channels/ChannelRows.h"
#include "settings/SettingsRow.h"

namespace rm427 {

CodeplugImage DemoCodeplug() {
    Module1 s;
    s.Image[kModelByte] = 0xF2;  // VHF 136 - 174 MHz
    s.Image[kBandByte] &= 0xFE;
    ChannelRows rows = MakeChannelRows(s);
    // Tones by their list text ("" for none), choices by the columns' lists.
    struct C {
        const char *rx, *tx, *dec, *enc;
        int power, bw, scan, shift, bcl, vox, opt;
        const char* name;
    };
    const C channels[] = {
        {"146.52000", "146.52000", "", "", powerHigh, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "CALL"},
        {"146.70000", "146.10000", "131.8", "131.8", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "RPT1"},
        {"147.24000", "147.84000", "", "103.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "RPT2"},
        {"145.50000", "145.50000", "", "", powerMid, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "SIMP"},
        {"144.39000", "144.39000", "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "APRS"},
        {"151.62500", "151.62500", "D023N", "D023N", powerMid, bandwidthNarrow, scanAddYes, beatShift1,
         choiceOn, choiceOff, optionOff, "WORK1"},
        {"151.95500", "151.95500", "D754N", "D754N", powerMid, bandwidthNarrow, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionScramble, "WORK2"},
        {"154.57000", "154.57000", "67.0", "67.0", powerLow, bandwidthNarrow, scanAddYes, beatShift2,
         choiceOff, choiceOn, optionOff, "MURS"},
        {"155.34000", "155.34000", "", "", powerHigh, bandwidthNarrow, scanAddNo, beatShiftOff,
         choiceOff, choiceOff, optionCompand, "EMS"},
        {"162.55000", "162.55000", "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "WX1"},
        {"146.94000", "146.34000", "D125I", "88.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "CROSS"},
        {"145.00625", "145.60625", "100.0", "100.0", powerHigh, bandwidthNarrow, scanAddYes,
         beatShiftOff, choiceOn, choiceOff, optionOff, "D-RPT"},
    };
    const auto tone = [](const char* t) { return *t ? std::string(t) : NewChannelText(0, colDecode); };
    int n = 1;
    for (const C& c : channels) {
        rows[n] = {std::to_string(n),
                   c.rx,
                   c.tx,
                   tone(c.dec),
                   tone(c.enc),
                   ChoiceText(0, colPower, c.power),
                   ChoiceText(0, colBandwidth, c.bw),
                   ChoiceText(0, colScanAdd, c.scan),
                   ChoiceText(0, colBeatShift, c.shift),
                   ChoiceText(0, colBCL, c.bcl),
                   ChoiceText(0, colVOX, c.vox),
                   ChoiceText(0, colOption, c.opt),
                   c.name};
        n += n == 5 ? 5 : 1;  // a gap after channel 5, as real lists have
    }
    SaveChannelRows(s, rows);

    SettingsSelections sel = ShowSettings(s.Image);
    sel.list[setSquelch] = 4;
    sel.list[setTimeOut] = 5;
    sel.list[setBeep] = 0;
    sel.list[setVoice] = 1;
    sel.list[setWorkingMode] = 2;
    sel.list[setVoxGain] = 4;
    sel.list[setChannelDisplay] = 0;
    sel.powerOnDisplay = powerOnMessage;
    sel.message = "DEMO";
    StoreSettings(s.Image, sel);
    return s.Image;
}

}  // namespace rm427
