#include "shell/DemoRadio.h"

#include <QFile>

#include <algorithm>

#include "PtyRadio.h"
#include "demo/DemoCodeplug.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "shell/MDIForm1.h"

namespace rm427::gui {

DemoRadio::DemoRadio() = default;

DemoRadio::~DemoRadio() {
    if (radio_) radio_->Stop();
}

bool DemoRadio::Start(int port, std::string& error) {
    port_ = port;
    if (!dir_.isValid()) {
        error = "no temporary folder for the demonstration settings";
        return false;
    }
    // This run's settings: the user's model and language, the demo port.
    const QString mine = dir_.filePath(QStringLiteral("rm427-demo.ini"));
    QFile::copy(QString::fromStdString(SettingsLocation()), mine);
    QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner);
    qputenv(kSettingsFileVariable, mine.toLocal8Bit());

    radio_ = std::make_unique<sim::PtyRadio>();
    if (!radio_->Start(error)) return false;
    const CodeplugImage image = DemoCodeplug();
    radio_->With([&](sim::RadioModel& m) {
        std::copy(image.begin(), image.end(), m.memory.begin());
        m.bandLow = 4000;  // the codeplug's band
        m.bandHigh = 4700;
    });
    if (!SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(port),
                     radio_->SlavePath())) {
        error = "cannot map COM" + std::to_string(port) + " to the simulated radio";
        return false;
    }
    return true;
}

void DemoRadio::Announce(MDIForm1& main) const { main.ShowDemoPanel(port_); }

std::string DemoRadio::DevicePath() const { return radio_ ? radio_->SlavePath() : std::string(); }

}  // namespace rm427::gui
