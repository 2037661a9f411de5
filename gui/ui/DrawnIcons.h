// Toolbar pictures the style has no standard pixmap for, drawn in the
// program's own colours at whatever size the screen asks for.
#pragma once

#include <QIcon>
#include <QString>

namespace rm427::gui {

// "printer"; a null icon for any other name.
QIcon DrawnIcon(const QString& name);

}  // namespace rm427::gui
