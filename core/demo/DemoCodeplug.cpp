#include "demo/DemoCodeplug.h"

#include "channels/ChannelRows.h"
#include "settings/SettingsRow.h"

namespace rm427 {

CodeplugImage DemoCodeplug() {
    Module1 s;
    s.Image[kModelByte] = 0xF2;  // VHF 136 - 174 MHz
    s.Image[kBandByte] &= 0xFE;
    ChannelRows rows = MakeChannelRows(s);
    struct C { const char *rx, *tx, *dec, *enc, *power, *bw, *scan, *shift, *bcl, *vox, *opt, *name; };
    const C channels[] = {
        {"146.52000", "146.52000", "None", "None", "High", "Wide", "Yes", "Off", "Off", "Off", "Off", "CALL"},
        {"146.70000", "146.10000", "131.8", "131.8", "High", "Wide", "Yes", "Off", "On", "Off", "Off", "RPT1"},
        {"147.24000", "147.84000", "None", "103.5", "High", "Wide", "Yes", "Off", "On", "Off", "Off", "RPT2"},
        {"145.50000", "145.50000", "None", "None", "Mid", "Wide", "Yes", "Off", "Off", "Off", "Off", "SIMP"},
        {"144.39000", "144.39000", "None", "None", "Low", "Wide", "No", "Off", "Off", "Off", "Off", "APRS"},
        {"151.62500", "151.62500", "D023N", "D023N", "Mid", "Narrow", "Yes", "Beat Shift1", "On", "Off", "Off", "WORK1"},
        {"151.95500", "151.95500", "D754N", "D754N", "Mid", "Narrow", "Yes", "Off", "On", "Off", "Scramble", "WORK2"},
        {"154.57000", "154.57000", "67.0", "67.0", "Low", "Narrow", "Yes", "Beat Shift2", "Off", "On", "Off", "MURS"},
        {"155.34000", "155.34000", "None", "None", "High", "Narrow", "No", "Off", "Off", "Off", "Compand", "EMS"},
        {"162.55000", "162.55000", "None", "None", "Low", "Wide", "No", "Off", "Off", "Off", "Off", "WX1"},
        {"146.94000", "146.34000", "D125I", "88.5", "High", "Wide", "Yes", "Off", "On", "Off", "Off", "CROSS"},
        {"145.00625", "145.60625", "100.0", "100.0", "High", "Narrow", "Yes", "Off", "On", "Off", "Off", "D-RPT"},
    };
    int n = 1;
    for (const C& c : channels) {
        rows[n] = {std::to_string(n), c.rx, c.tx, c.dec, c.enc, c.power, c.bw, c.scan, c.shift, c.bcl, c.vox,
                   c.opt, c.name};
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
