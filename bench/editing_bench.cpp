// Undo, redo and paste with 128 programmed channels, inside a real main
// window: a paste of all 128 channels from the clipboard (tab-separated
// text, read, checked and placed), then undo and redo of such pastes. Each
// run is timed together with the event processing that follows; the figures
// are printed against one frame at 60 Hz (16.7 ms).
//
// Runs on any Qt platform: QT_QPA_PLATFORM=offscreen for a machine without
// a display. The settings file is a temporary one.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <ctime>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>

#include "channels/ChannelClipboard.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelForm.h"
#include "shell/MDIForm1.h"

#include "BenchSeams.h"

using namespace rm427;

namespace {

using bench::BenchWindow;

// 128 channels with offsets, tones, options and names, as CSV.
std::string Channels128(const char* prefix) {
    const char* tones[] = {"None", "67.0", "88.5", "D023N", "D754I", "254.1"};
    const char* power[] = {"High", "Mid", "Low"};
    std::string csv = "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,Option,Name\n";
    for (int n = 1; n <= 128; ++n) {
        const std::string mhz = std::to_string(144 + n / 10) + "." + std::to_string(n % 10);
        csv += std::to_string(n) + "," + mhz + "25," + mhz + "00," + tones[n % 6] + "," +
               tones[(n + 2) % 6] + "," + power[n % 3] + "," + (n % 2 ? "Wide" : "Narrow") + "," +
               (n % 5 ? "Yes" : "No") + "," + (n % 7 ? "Off" : "Scramble") + "," + prefix +
               std::to_string(n) + "\n";
    }
    return csv;
}

struct Result {
    const char* what;
    double median, worst, call;  // call: median of the call alone, without the events
    double cpu;                  // median processor time of this thread, events included
};

// Processor time of this thread: what the run costs, whatever else the
// machine is busy with (wall-clock figures grow with the load of the machine).
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

Result Time(const char* what, int runs, const std::function<void(int)>& run,
            const std::function<void(int)>& before = {}) {
    std::vector<double> ms, call, cpu;
    for (int i = 0; i < runs; ++i) {
        if (before) before(i);
        QApplication::processEvents();
        QElapsedTimer t;
        const double cpu0 = ThreadCpuMs();
        t.start();
        run(i);
        call.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        cpu.push_back(ThreadCpuMs() - cpu0);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(ms.begin(), ms.end());
    std::sort(call.begin(), call.end());
    return {what, ms[ms.size() / 2], ms.back(), call[call.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BenchWindow program;
    Module1& state = program.state;
    gui::MDIForm1& window = *program.window;
    std::string error;
    if (!ImportChannelsCsv(Channels128("A"), state.Image, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    window.RefreshChannel();
    QApplication::processEvents();
    gui::ChannelForm* channels = window.Channels();

    // Two sets of 128 channels as the grid copies them, pasted in turn so
    // that every paste changes all channels.
    QString text[2];
    for (int i = 0; i < 2; ++i) {
        Module1 other;
        ImportChannelsCsv(Channels128(i ? "B" : "C"), other.Image, error);
        ChannelRows rows = MakeChannelRows(other);
        LoadChannelRows(other, rows);
        text[i] = QString::fromStdString(ChannelsToTsv(rows, 1, 128));
    }
    const int runs = 21;
    std::vector<Result> results;
    results.push_back(Time(
        "paste of 128 channels (tab-separated)", runs, [&](int) { channels->PasteChannels(); },
        [&](int i) {
            QGuiApplication::clipboard()->setText(text[i % 2]);
            channels->SelectChannels(1, 1);
        }));
    results.push_back(Time("undo of a 128-channel paste", runs,
                           [&](int) { window.Dispatch(QStringLiteral("miUndo")); }));
    results.push_back(Time("redo of a 128-channel paste", runs,
                           [&](int) { window.Dispatch(QStringLiteral("miRedo")); }));
    int programmed = 0;
    for (int n = 1; n <= 128; ++n) programmed += !channels->Cell(n, 1).empty();
    std::printf("programmed channels: %d\n", programmed);
    std::printf("%-42s %10s %10s %10s %10s\n", "(ms, each run with its event processing)", "median",
                "worst", "call only", "cpu");
    for (const Result& r : results)
        std::printf("%-42s %10.2f %10.2f %10.2f %10.2f%s\n", r.what, r.median, r.worst, r.call, r.cpu,
                    r.median > 16.7 ? "   above one frame" : "");
    std::printf("QPA platform: %s\n", qPrintable(QGuiApplication::platformName()));
    return 0;
}
