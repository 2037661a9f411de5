#include "ui/ColourPalette.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include <vector>

namespace rm427::gui {

namespace {

// Classes the platform may give palettes of their own, which would keep
// their colours under a palette set for the whole program.
constexpr const char* kClassesWithPalettes[] = {
    "QAbstractItemView", "QHeaderView", "QAbstractButton",  "QToolButton", "QCheckBox", "QRadioButton",
    "QComboBox",         "QLabel",      "QGroupBox",        "QMenu",       "QMenuBar",  "QTabBar",
    "QTextEdit",         "QLineEdit",   "QMessageBoxLabel", "QTipLabel"};

void SetPalette(const QPalette& p) {
    QApplication::setPalette(p);
    for (const char* c : kClassesWithPalettes) QApplication::setPalette(p, c);
}

}  // namespace

void ApplyColourScheme(ColourScheme scheme) {
    static const QPalette systemPalette = QApplication::palette();
    static const auto systemClassPalettes = [] {
        std::vector<QPalette> v;
        for (const char* c : kClassesWithPalettes) v.push_back(QApplication::palette(c));
        return v;
    }();
    static const QString systemStyle = QApplication::style()->name();
    const QString style = scheme == ColourScheme::System ? systemStyle : QStringLiteral("fusion");
    if (QApplication::style()->name().compare(style, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(style);
    if (scheme == ColourScheme::System) {
        // Every colour as it was: a palette with nothing marked as set would
        // be filled in from the style, which keeps some of the last scheme's
        // colours on Windows (the disabled link colour).
        QPalette all = systemPalette;
        all.setResolveMask(~QPalette::ResolveMask(0));
        QApplication::setPalette(all);
        for (std::size_t i = 0; i < systemClassPalettes.size(); ++i)
            QApplication::setPalette(systemClassPalettes[i], kClassesWithPalettes[i]);
        return;
    }
    const SchemeColours& c = SchemeColoursOf(scheme);
    auto q = [](Rgb v) { return QColor(v.r, v.g, v.b); };
    QPalette p(q(c.button), q(c.window));
    const std::pair<QPalette::ColorRole, Rgb> roles[] = {
        {QPalette::Window, c.window},
        {QPalette::WindowText, c.windowText},
        {QPalette::Base, c.base},
        {QPalette::AlternateBase, c.alternateBase},
        {QPalette::Text, c.text},
        {QPalette::Button, c.button},
        {QPalette::ButtonText, c.buttonText},
        {QPalette::Highlight, c.highlight},
        {QPalette::HighlightedText, c.highlightedText},
        {QPalette::ToolTipBase, c.toolTipBase},
        {QPalette::ToolTipText, c.toolTipText},
        {QPalette::Link, c.link},
        {QPalette::BrightText, c.windowText},
        {QPalette::PlaceholderText, c.disabledText},
    };
    for (const auto& [role, colour] : roles) p.setColor(role, q(colour));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, q(c.disabledText));
    // Frames and outlines: light on dark, so fields stand out from the window.
    if (scheme == ColourScheme::HighContrast)
        for (QPalette::ColorRole role :
             {QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark})
            p.setColor(role, q(c.windowText));
    SetPalette(p);
}

}  // namespace rm427::gui
