// What a screen reader finds in every window, through Qt's accessibility
// tree: each control it can reach has a name, in either language, and the
// names follow a language switch. The channel grid's cells are left out.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>
#include <QtTest>

#include "helpers/EveryWindow.h"
#include "settings/FrmBatch.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"
#include "ui/DesktopHabits.h"
#include "view/ColourSchemes.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

bool Interactive(QAccessible::Role r) {
    switch (r) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::ProgressBar:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab: return true;
    default: return false;
    }
}

// "role objectName" of every visible control without a name, below i.
void Unnamed(QAccessibleInterface* i, QStringList& out) {
    if (!i || i->state().invisible) return;
    if (Interactive(i->role()) && i->text(QAccessible::Name).trimmed().isEmpty())
        out << QStringLiteral("%1 %2")
                   .arg(int(i->role()))
                   .arg(i->object() ? i->object()->objectName() : QString());
    if (i->object() && i->object()->objectName() == QLatin1String("ChannelGrid")) return;
    for (int c = 0; c < i->childCount(); ++c) Unnamed(i->child(c), out);
}

QStringList Unnamed(QWidget* w) {
    QStringList out;
    Unnamed(QAccessible::queryAccessibleInterface(w), out);
    return out;
}

}  // namespace

class TstAccessible : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        gui::SetUpApplication(*qobject_cast<QApplication*>(qApp), QStringLiteral("0"));
    }
    void everyWindowNamesItsControls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        for (int language : {0, 1})
            for (const QString& w : test::EveryWindow())
                QTest::addRow("%s %d", qPrintable(w), language) << w << language;
    }
    void everyWindowNamesItsControls();
    void namesFollowTheLanguage();
    void coloursAreChosenAndKept();
};

// The main window with the channel window, then each window it opens.
void TstAccessible::everyWindowNamesItsControls() {
    QFETCH(QString, window);
    QFETCH(int, language);
    ShellFixture f;
    f.StoreSetting("language", language ? "1" : "0");
    QStringList unnamed;
    QVERIFY(test::VisitWindow(f, window, [&](QWidget* w) { unnamed = Unnamed(w); }));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
}

// A batch field is named by its caption, in the language of the moment.
void TstAccessible::namesFollowTheLanguage() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start(false);
    main.Dispatch(QStringLiteral("miBatchEdit"));
    QLineEdit* rx = main.findChild<gui::FrmBatch*>()->TxtBatch1(1);
    auto name = [rx] { return QAccessible::queryAccessibleInterface(rx)->text(QAccessible::Name); };
    QVERIFY2(name().contains(QString::fromStdString(LoadText(0, 1356))), qPrintable(name()));
    main.Dispatch(QStringLiteral("miChinese"));
    QVERIFY2(name().contains(QString::fromStdString(LoadText(1, 1356))), qPrintable(name()));
}

// View > High Contrast colours the program, the grid's selection too, and is
// kept for the next run; System Colours brings back the starting colours.
void TstAccessible::coloursAreChosenAndKept() {
    const QPalette start = QApplication::palette();
    const Rgb h = SchemeColoursOf(ColourScheme::HighContrast).highlight;
    auto grid = [](ShellFixture& f) {
        return f.main->findChild<QTableView*>(QStringLiteral("ChannelGrid"));
    };
    ShellFixture f;
    f.Start(false).Dispatch(QStringLiteral("miColoursHighContrast"));
    QCOMPARE(grid(f)->palette().color(QPalette::Highlight), QColor(h.r, h.g, h.b));
    f.main.reset();
    QApplication::setPalette(start);
    gui::MDIForm1& again = f.Start(false);
    QCOMPARE(grid(f)->palette().color(QPalette::Highlight), QColor(h.r, h.g, h.b));
    QVERIFY(again.Bar().ToolCheck(QStringLiteral("miView"), QStringLiteral("miColoursHighContrast")));
    again.Dispatch(QStringLiteral("miColoursSystem"));
    QVERIFY(QApplication::palette() == start);
    QVERIFY(!again.Bar().ToolCheck(QStringLiteral("miView"), QStringLiteral("miColoursHighContrast")));
}

QTEST_MAIN(TstAccessible)
#include "tst_accessible.moc"
