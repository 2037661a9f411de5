#include "ui/ColourPalette.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

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

QColor QColorOf(Rgb v) { return QColor(v.r, v.g, v.b); }

// Fusion outlines fields, check boxes and option buttons in a shade darker
// than the window, which on a black or near-black window is no outline at
// all: an empty field, an unticked box and a disabled option button looked
// like the window around them. This style draws those outlines again in the
// scheme's frame colour, and in its dimmer one for a disabled control.
class SchemeStyle : public QProxyStyle {
public:
    explicit SchemeStyle(ColourScheme scheme)
        : QProxyStyle(QStyleFactory::create(QStringLiteral("fusion"))), scheme_(scheme) {}
    ColourScheme Scheme() const { return scheme_; }

    void drawPrimitive(PrimitiveElement e, const QStyleOption* o, QPainter* p,
                       const QWidget* w) const override {
        QProxyStyle::drawPrimitive(e, o, p, w);
        switch (e) {
        case PE_IndicatorRadioButton: {
            const QRect& r = o->rect;
            const qreal radius = (r.width() + (r.width() + 1) % 2) / 2.0 - 1;
            Outline(o, p, [&] { p->drawEllipse(QPointF(r.center()) + QPointF(1, 1), radius, radius); });
            break;
        }
        case PE_IndicatorCheckBox:
            Outline(o, p, [&] {
                p->translate(0.5, 0.5);
                p->drawRect(o->rect.adjusted(0, 0, -1, -1));
            });
            break;
        case PE_FrameLineEdit:
            Outline(o, p, [&] {
                p->translate(0.5, 0.5);
                p->drawRoundedRect(o->rect.adjusted(0, 0, -1, -1), 2, 2);
            });
            break;
        case PE_Frame: Outline(o, p, [&] { p->drawRect(o->rect.adjusted(0, 0, -1, -1)); }); break;
        case PE_PanelButtonCommand:
            if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(o))
                if (b->features & (QStyleOptionButton::DefaultButton | QStyleOptionButton::Flat)) break;
            Outline(o, p, [&] {
                p->translate(0.5, -0.5);
                p->drawRoundedRect(o->rect.adjusted(0, 1, -1, 0), 2, 2);
            });
            break;
        default: break;
        }
    }

    void drawComplexControl(ComplexControl c, const QStyleOptionComplex* o, QPainter* p,
                            const QWidget* w) const override {
        QProxyStyle::drawComplexControl(c, o, p, w);
        if (c == CC_SpinBox)
            if (const auto* s = qstyleoption_cast<const QStyleOptionSpinBox*>(o); s && s->frame)
                Outline(o, p, [&] {
                    p->translate(0.5, 0.5);
                    p->drawRoundedRect(o->rect.adjusted(0, 0, -1, -1), 2, 2);
                });
    }

private:
    // Draws with the frame colour, unless the style has drawn the keyboard
    // focus there (in the highlight colour).
    template <typename Draw>
    void Outline(const QStyleOption* o, QPainter* p, Draw draw) const {
        if ((o->state & State_HasFocus) && (o->state & State_KeyboardFocusChange)) return;
        const SchemeColours& c = SchemeColoursOf(scheme_);
        p->save();
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setPen(QColorOf(o->state & State_Enabled ? c.frame : c.disabledFrame));
        p->setBrush(Qt::NoBrush);
        draw();
        p->restore();
    }

    ColourScheme scheme_;
};

}  // namespace

void ApplyColourScheme(ColourScheme scheme) {
    static const QPalette systemPalette = QApplication::palette();
    static const auto systemClassPalettes = [] {
        std::vector<QPalette> v;
        for (const char* c : kClassesWithPalettes) v.push_back(QApplication::palette(c));
        return v;
    }();
    static const QString systemStyle = QApplication::style()->name();
    const auto* current = dynamic_cast<const SchemeStyle*>(QApplication::style());
    if (scheme == ColourScheme::System) {
        if (current) QApplication::setStyle(systemStyle);
    } else if (!current || current->Scheme() != scheme) {
        QApplication::setStyle(new SchemeStyle(scheme));
    }
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
    QPalette p(QColorOf(c.button), QColorOf(c.window));
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
    for (const auto& [role, colour] : roles) p.setColor(role, QColorOf(colour));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColorOf(c.disabledText));
    // Frames and outlines: light on dark, so fields stand out from the window.
    if (scheme == ColourScheme::HighContrast)
        for (QPalette::ColorRole role :
             {QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark}) {
            p.setColor(role, QColorOf(c.frame));
            p.setColor(QPalette::Disabled, role, QColorOf(c.disabledFrame));
        }
    SetPalette(p);
}

}  // namespace rm427::gui
