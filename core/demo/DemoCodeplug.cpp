#include "demo/DemoCodeplug.h"

#include "channels/Channel.h"
#include "channels/ToneCodec.h"
#include "image/ModelTable.h"
#include "settings/SettingsRow.h"

namespace rm427 {

CodeplugImage DemoCodeplug() {
    Module1 s;
    // UHF 400 - 470 MHz: the band a new image shows. A read from the radio
    // does not fetch the model bytes, so the channels read from the
    // demonstration radio land in an image of this band.
    WriteModelBytes(s.Image, 4);
    // Tones by their list text ("" for none), choices by the columns' lists.
    struct C {
        std::int32_t rx, tx;
        const char *dec, *enc;
        int power, bw, scan, shift, bcl, vox, opt;
        const char* name;
    };
    const C channels[] = {
        {43652000, 43652000, "", "", powerHigh, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "CALL"},
        {43670000, 43610000, "131.8", "131.8", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "RPT1"},
        {43724000, 43784000, "", "103.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff, choiceOn,
         choiceOff, optionOff, "RPT2"},
        {43550000, 43550000, "", "", powerMid, bandwidthWide, scanAddYes, beatShiftOff, choiceOff,
         choiceOff, optionOff, "SIMP"},
        {43439000, 43439000, "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "APRS"},
        {44162500, 44162500, "D023N", "D023N", powerMid, bandwidthNarrow, scanAddYes, beatShift1,
         choiceOn, choiceOff, optionOff, "WORK1"},
        {44195500, 44195500, "D754N", "D754N", powerMid, bandwidthNarrow, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionScramble, "WORK2"},
        {44457000, 44457000, "67.0", "67.0", powerLow, bandwidthNarrow, scanAddYes, beatShift2,
         choiceOff, choiceOn, optionOff, "TEAM"},
        {44534000, 44534000, "", "", powerHigh, bandwidthNarrow, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionCompand, "EMS"},
        {45255000, 45255000, "", "", powerLow, bandwidthWide, scanAddNo, beatShiftOff, choiceOff,
         choiceOff, optionOff, "LINK"},
        {43694000, 43634000, "D125I", "88.5", powerHigh, bandwidthWide, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "CROSS"},
        {43500625, 43560625, "100.0", "100.0", powerHigh, bandwidthNarrow, scanAddYes, beatShiftOff,
         choiceOn, choiceOff, optionOff, "D-RPT"},
    };
    const auto tone = [](const char* t) { return *t ? ToneIndex(0, t) : 0; };
    int n = 1;
    for (const C& c : channels) {
        Channel ch = NewChannel(c.rx, c.name);
        ch.tx = c.tx;
        ch.decode = tone(c.dec);
        ch.encode = tone(c.enc);
        ch.power = static_cast<PowerChoice>(c.power);
        ch.bandwidth = static_cast<BandwidthChoice>(c.bw);
        ch.scanAdd = static_cast<ScanAddChoice>(c.scan);
        ch.beatShift = static_cast<BeatShiftChoice>(c.shift);
        ch.bcl = static_cast<OnOffChoice>(c.bcl);
        ch.vox = static_cast<OnOffChoice>(c.vox);
        ch.option = static_cast<OptionChoice>(c.opt);
        PutChannel(s.Image, n, ch);
        n += n == 5 ? 5 : 1;  // a gap after channel 5, as real lists have
    }

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
