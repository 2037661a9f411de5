// rm427 --demo: a simulated radio inside the program, preloaded with the
// demonstration codeplug. The current port is mapped to it in a settings
// file of this run's own (a copy of the user's settings), so nothing of the
// mapping outlives the run. The radio is reached over a pseudo-terminal
// served by the simulator where the system has them, or over a line inside
// the program (Windows): the same exchanges either way.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace rm427::sim {
class PtyRadio;
class RadioModel;
}  // namespace rm427::sim

namespace rm427::gui {

class MDIForm1;

class DemoRadio {
public:
    enum class Line { PseudoTerminal, InProcess };
#ifdef _WIN32
    static constexpr Line kSystemLine = Line::InProcess;
#else
    static constexpr Line kSystemLine = Line::PseudoTerminal;
#endif
    // The path a port is mapped to for the line inside the program.
    static constexpr const char* kInProcessPath = "RM427-DEMO";

    DemoRadio();
    ~DemoRadio();
    // Call before the main window exists: starts the simulator and points
    // the settings store and port `port` at it. False with error when the
    // system gives no pseudo-terminal or temporary folder.
    bool Start(int port, std::string& error, Line line = kSystemLine);
    // Adds the "simulated radio" panel to the main window's status bar.
    void Announce(MDIForm1& main) const;
    std::string DevicePath() const { return path_; }

private:
    QTemporaryDir dir_;
#ifndef _WIN32
    std::unique_ptr<sim::PtyRadio> pty_;
#endif
    std::shared_ptr<sim::RadioModel> model_;
    std::string path_;
    int port_ = 1;
};

}  // namespace rm427::gui
