#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace rm427::gui {
namespace {

double Dpi(const QWidget* w, bool x) {
    const QScreen* s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!s) return 96.0;
    return x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
}

}  // namespace

int TwipsToPixelsX(const QWidget* w, double twips) {
    return int(std::lround(twips * Dpi(w, true) / 1440.0));
}
int TwipsToPixelsY(const QWidget* w, double twips) {
    return int(std::lround(twips * Dpi(w, false) / 1440.0));
}
double PixelsToTwipsX(const QWidget* w, int pixels) { return pixels * 1440.0 / Dpi(w, true); }
double PixelsToTwipsY(const QWidget* w, int pixels) { return pixels * 1440.0 / Dpi(w, false); }

}  // namespace rm427::gui
