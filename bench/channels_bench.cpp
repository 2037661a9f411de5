// The channel editor's heavy moments with 128 programmed channels: showing
// the grid again (RefreshChannel), SaveCHData, switching the main
// window's language (grid included), opening the memory map and a batch
// Apply over all 128 channels. Each is run several times inside a real main
// window and timed together with the event processing that follows (what a
// user waits for before the window shows the result); the figures are
// printed against one frame at 60 Hz (16.7 ms).
//
// Runs on any Qt platform: QT_QPA_PLATFORM=offscreen for a machine without
// a display. The settings file is a temporary one.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelForm.h"
#include "channels/ChannelRows.h"
#include "channels/ToneCodec.h"
#include "radio/frmMemoryMap.h"
#include "settings/FrmBatch.h"
#include "shell/MDIForm1.h"

#include "BenchSeams.h"

using namespace rm427;

namespace {

using bench::BenchWindow;
using bench::SilentBoxes;

// 128 channels with offsets, tones, options and names.
void Program128(Module1& state) {
    for (int n = 1; n <= 128; ++n) {
        Channel ch;
        CommitChannelText(state, ch, colRxFreq,
                          std::to_string(144 + n / 10) + "." + std::to_string(n % 10) + "25");
        CommitChannelText(state, ch, colTxFreq,
                          std::to_string(144 + n / 10) + "." + std::to_string(n % 10 + 6) + "00");
        ch.decode = (n * 2) % kToneCount;
        ch.encode = (n * 3) % kToneCount;
        for (int c = colPower; c < colName; ++c)
            SetChoice(ch, c, n % static_cast<int>(ChoiceTexts(state.Language, c).size()));
        CommitChannelText(state, ch, colName, "CH" + std::to_string(n));
        PutChannel(state.Image, n, ch);
    }
}

struct Result {
    const char* what;
    double median, worst;
};

Result Time(const char* what, int runs, const std::function<void()>& run,
            const std::function<void()>& after = {}) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        QApplication::processEvents();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (after) after();
        QApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    return {what, ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BenchWindow program;
    Module1& state = program.state;
    gui::MDIForm1& window = *program.window;
    SilentBoxes& boxes = program.boxes;
    Program128(state);
    window.RefreshChannel();
    QApplication::processEvents();
    gui::ChannelForm* channels = window.Channels();
    const int runs = 15;
    std::printf("programmed channels: %d\n", ProgrammedChannels(state.Image));

    std::vector<Result> results;
    results.push_back(Time("RefreshChannel", runs, [&] { channels->RefreshChannel(); }));
    results.push_back(Time("SaveCHData", runs, [&] { window.SaveCHData(); }));
    bool chinese = false;
    results.push_back(Time("language switch (main window and grid)", runs, [&] {
        chinese = !chinese;
        window.Dispatch(chinese ? QStringLiteral("miChinese") : QStringLiteral("miEnglish"));
    }));
    if (chinese) window.Dispatch(QStringLiteral("miEnglish"));
    frmMemoryMap* map = nullptr;
    results.push_back(Time(
        "opening the memory map", runs, [&] { map = frmMemoryMap::ShowMap(state, &window); },
        [&] { map->close(); }));
    gui::FrmBatch batch(state, boxes, [&](const auto& edit) { channels->EditChannels(edit); });
    batch.show();
    // Its first range option (all channels) is set on opening.
    QApplication::processEvents();
    results.push_back(Time("batch Apply over 128 channels", runs, [&] { batch.ApplyBatch(); }));

    std::printf("%-42s %10s %10s\n", "(ms, each run with its event processing)", "median", "worst");
    for (const Result& r : results)
        std::printf("%-42s %10.2f %10.2f%s\n", r.what, r.median, r.worst,
                    r.median > 16.7 ? "   above one frame" : "");
    std::printf("QPA platform: %s\n", qPrintable(QGuiApplication::platformName()));
    return 0;
}
