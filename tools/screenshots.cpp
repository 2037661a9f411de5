// rm427-shots OUTDIR LANGUAGE COLOURS: renders every window of the program to
// OUTDIR/<window>.png in the language (0 English, 1 Chinese) and colours (0
// system, 2 high contrast) given, and prints one line per caption that its
// control cuts off: "window: object "text" needs N px, has M". Exit status 1
// when there is one. Beside each picture, <window>.tab.txt lists what a screen
// reader announces as Tab goes round the window. tools/screenshots.sh runs it
// at each scale.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

#include "helpers/EveryWindow.h"
#include "ui/DesktopHabits.h"

using namespace rm427;

namespace {

QString Plain(QString text) {
    return text.replace(QLatin1String("&&"), QLatin1String("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Width the caption needs beside what its control draws around it.
int Needed(const QWidget* w, const QString& text) {
    const int advance = w->fontMetrics().horizontalAdvance(Plain(text));
    const QStyle* s = w->style();
    if (qobject_cast<const QCheckBox*>(w))
        return advance + s->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (qobject_cast<const QRadioButton*>(w))
        return advance + s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (qobject_cast<const QAbstractButton*>(w))
        return advance + 2 * s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
    if (qobject_cast<const QGroupBox*>(w)) return advance + 16;
    return advance;
}

QStringList Clipped(QWidget* window) {
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QToolButton*>(w)) continue;
        QString text;
        int has = w->contentsRect().width();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap()) continue;
            text = l->text();
            if (l->textFormat() == Qt::RichText || Qt::mightBeRichText(text)) continue;
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            text = b->text();
            has = w->width();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            text = g->title();
            has = w->width();
        }
        if (text.isEmpty()) continue;
        int need = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) need = std::max(need, Needed(w, line));
        if (need > has)
            out << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                       .arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                      : w->objectName(),
                            Plain(text))
                       .arg(need)
                       .arg(has);
    }
    return out;
}

// What a screen reader says, control by control, when Tab goes round the
// window from its first control: "role: name".
QStringList TabRound(QWidget* window) {
    QStringList out;
    QWidget* first = window->focusWidget() ? window->focusWidget() : window->nextInFocusChain();
    QWidget* w = first;
    do {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            w->window() == window) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            out << QStringLiteral("%1: %2").arg(
                QString::fromLatin1(a ? qAccessibleRoleString(a->role()) : "?"),
                a ? a->text(QAccessible::Name) : QString());
        }
        w = w->nextInFocusChain();
    } while (w && w != first && out.size() < 200);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::SetUpApplication(app, QStringLiteral("0"));
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "usage: rm427-shots OUTDIR LANGUAGE COLOURS\n";
        return 2;
    }
    QDir out(args[1]);
    out.mkpath(QStringLiteral("."));
    QTextStream report(stdout);
    int clipped = 0;
    for (const QString& window : test::EveryWindow()) {
        test::ShellFixture f;
        f.StoreSetting("language", args[2].toLatin1().constData());
        f.StoreSetting("Colours", args[3].toLatin1().constData());
        const QString name = window.isEmpty() ? QStringLiteral("main") : window;
        const bool opened = test::VisitWindow(f, window, [&](QWidget* w) {
            w->activateWindow();
            QTest::qWait(50);
            w->grab().save(out.filePath(name + QStringLiteral(".png")));
            QFile tab(out.filePath(name + QStringLiteral(".tab.txt")));
            if (tab.open(QIODevice::WriteOnly | QIODevice::Text))
                tab.write(TabRound(w).join(QLatin1Char('\n')).toUtf8() + '\n');
            for (const QString& line : Clipped(w)) {
                report << name << ": " << line << '\n';
                ++clipped;
            }
        });
        if (!opened) report << name << ": did not open\n";
        f.main.reset();
    }
    return clipped ? 1 : 0;
}
