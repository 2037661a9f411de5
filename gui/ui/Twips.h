// Window geometry is designed in twips (1/1440 inch); these turn twips into
// pixels and back at the logical resolution of the widget's screen (96 dots
// per inch when it has none), so a scaled screen scales the windows too.
#pragma once

class QWidget;

namespace rm427::gui {

int TwipsToPixelsX(const QWidget* w, double twips);
int TwipsToPixelsY(const QWidget* w, double twips);
double PixelsToTwipsX(const QWidget* w, int pixels);
double PixelsToTwipsY(const QWidget* w, int pixels);

}  // namespace rm427::gui
