// rm427 --demo: a simulated radio inside the program. The simulator serves
// a pseudo-terminal preloaded with the demonstration codeplug, and the
// current port is mapped to it in a settings file of this run's own (a copy
// of the user's), so nothing of the mapping outlives the run.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace rm427::sim {
class PtyRadio;
}

namespace rm427::gui {

class MDIForm1;

class DemoRadio {
public:
    DemoRadio();
    ~DemoRadio();
    // Call before the main window exists: starts the simulator and points
    // the settings store and port `port` at it. False with error when the
    // system gives no pseudo-terminal or temporary folder.
    bool Start(int port, std::string& error);
    // Adds the "simulated radio" panel to the main window's status bar.
    void Announce(MDIForm1& main) const;
    std::string DevicePath() const;

private:
    QTemporaryDir dir_;
    std::unique_ptr<sim::PtyRadio> radio_;
    int port_ = 1;
};

}  // namespace rm427::gui
