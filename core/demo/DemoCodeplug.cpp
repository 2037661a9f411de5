#include "demo/DemoCodeplug.h"

#include "channels/ChannelColumns.h"
#include "channels/ChannelRows.h"
#include "image/ModelTable.h"
#include "settings/SettingsRow.h"

namespace rm427 {

CodeplugImage DemoCodeplug() {
    Module1 s;
    // UHF 400 - 470 MHz: the band a new image shows. A read from the radio
    // does not fetch the model bytes, so the channels read from the
    // demonstration radio land in an image of this band.
    WriteModelBytes(s.Image, 4);
    ChannelRows rows = MakeChannelRows(s);
    // Tones by their list text ("" for none), choices by the columns' lists.
    struct C {
        const char *rx, *tx, *dec, *enc;
        int power, bw, scan, shift, bcl, vox, opt;
        const char* name;
    };
    const C channels[] = {
        {"436.52000", "436.52000", "", "", powerHigh, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "CALL"},
        {"436.70000", "436.10000", "131.8", "131.8", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "RPT1"},
        {"437.24000", "437.84000", "", "103.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "RPT2"},
        {"435.50000", "435.50000", "", "", powerMid, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "SIMP"},
        {"434.39000", "434.39000", "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "APRS"},
        {"441.62500", "441.62500", "D023N", "D023N", powerMid, bandwidthNarrow, scanAddYes, beatShift1,
         choiceOn, choiceOff, optionOff, "WORK1"},
        {"441.95500", "441.95500", "D754N", "D754N", powerMid, bandwidthNarrow, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionScramble, "WORK2"},
        {"444.57000", "444.57000", "67.0", "67.0", powerLow, bandwidthNarrow, scanAddYes, beatShift2,
         choiceOff, choiceOn, optionOff, "TEAM"},
        {"445.34000", "445.34000", "", "", powerHigh, bandwidthNarrow, scanAddNo, beatShiftOff,
         choiceOff, choiceOff, optionCompand, "EMS"},
        {"452.55000", "452.55000", "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "LINK"},
        {"436.94000", "436.34000", "D125I", "88.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "CROSS"},
        {"435.00625", "435.60625", "100.0", "100.0", powerHigh, bandwidthNarrow, scanAddYes,
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
