// Every window of the program, opened the way a user opens it, for checks
// that go over all of them (names for screen readers, clipped captions).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "helpers/ShellFixture.h"

namespace rm427::test {

// "" is the main window with the channel window; "map" the memory map; the
// others are the commands that open a window.
QStringList EveryWindow();

// Starts the program of f, opens the window and runs fn on it while it is open.
// False when the window did not open.
bool VisitWindow(ShellFixture& f, const QString& window, const std::function<void(QWidget*)>& fn);

}  // namespace rm427::test
