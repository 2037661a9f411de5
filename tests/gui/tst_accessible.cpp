// What a screen reader finds in every window, through Qt's accessibility
// tree: each control it can reach has a name, in either language, and the
// names follow a language switch. The channel grid's cells are left out.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "demo/DemoCodeplug.h"
#include "helpers/EveryWindow.h"
#include "helpers/GridEditor.h"
#include "settings/FrmBatch.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"
#include "ui/DesktopHabits.h"
#include "ui/QtDialogs.h"
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

QString Describe(QWidget* w) {
    return w ? (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                          : w->objectName())
             : QStringLiteral("nothing");
}

// Goes round the window with Tab from its first control and lists every step
// that goes back against the reading order: to a control that is neither
// lower down (below the previous one's bottom) nor further right (past its
// right edge). Going down a column and then up the next one is reading on.
QStringList StepsBack(QWidget* window) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) return {QStringLiteral("the window is not active")};
    QWidget* first = window;
    do first = first->nextInFocusChain();
    while (first != window &&
           !(first->isVisibleTo(window) && first->isEnabled() && (first->focusPolicy() & Qt::TabFocus)));
    first->setFocus(Qt::TabFocusReason);
    first = QApplication::focusWidget();  // a subwindow hands it on to its field
    QStringList out;
    QWidget* at = first;
    for (int steps = 0; at && steps < 100; ++steps) {
        QTest::keyClick(at, Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        if (!next || next == first || next == at) break;
        const QRect a(at->mapTo(window, QPoint()), at->size());
        const QPoint b = next->mapTo(window, QPoint()) + next->rect().center();
        if (b.y() <= a.bottom() && b.x() <= a.right())
            out << Describe(at) + QStringLiteral(" -> ") + Describe(next);
        at = next;
    }
    if (QApplication::focusWidget() != first)
        out << QStringLiteral("Tab does not come round to ") + Describe(first);
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
    void tabFollowsTheLayout_data() {
        QTest::addColumn<QString>("window");
        for (const QString& w : test::EveryWindow()) QTest::addRow("%s", qPrintable(w)) << w;
    }
    void tabFollowsTheLayout();
    void namesFollowTheLanguage();
    void messageBoxesReadTheirText();
    void gridCellsSayChannelColumnAndValue();
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

// Tab goes through every window in reading order, and when the window
// closes the focus is back in the main window.
void TstAccessible::tabFollowsTheLayout() {
    QFETCH(QString, window);
    ShellFixture f;
    QStringList back;
    QWidget* opened = nullptr;
    QVERIFY(test::VisitWindow(f, window, [&](QWidget* w) {
        opened = w;
        back = StepsBack(w);
    }));
    QVERIFY2(back.isEmpty(), qPrintable(back.join(QLatin1String(", "))));
    if (opened != f.main.get()) {
        if (window == QLatin1String("map") || window == QLatin1String("miBatchEdit")) opened->close();
        QTRY_VERIFY2(
            QApplication::focusWidget() && QApplication::focusWidget()->window() == f.main.get(),
            qPrintable(Describe(QApplication::focusWidget())));
    }
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

// A message box gives its text as its description; with its details shown,
// every control in it is named.
void TstAccessible::messageBoxesReadTheirText() {
    gui::QtMessageBoxes boxes;
    MessageRequest m;
    m.title = "RM-427";
    m.text = LoadText(1, 1333);
    m.details = "channel 1: Rx Freq 145.12500 -> 145.25000\n";
    QString name, description;
    QStringList unnamed;
    ShellFixture::OnModal([&](QWidget* w) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w);
        name = box->text(QAccessible::Name);
        description = box->text(QAccessible::Description);
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (!static_cast<QMessageBox*>(w)->buttons().contains(b)) b->click();  // Show Details...
        unnamed = Unnamed(w);
        static_cast<QMessageBox*>(w)->accept();
    });
    boxes.Show(m);
    QCOMPARE(name, QStringLiteral("RM-427"));
    QCOMPARE(description, QString::fromStdString(m.text));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
}

// A grid cell reads as its channel, its column's header and its text; the
// headers are headers, and the channel is said once (not by the row header
// as well); the corner over the hidden row headers has a name and is not
// shown; the editor over a cell names the cell. In both languages,
// following a switch.
void TstAccessible::gridCellsSayChannelColumnAndValue() {
    test::GridEditor g(false);
    QVERIFY(g.Active());
    g.f.state.Image = DemoCodeplug();
    g.form->RefreshChannel();
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(g.grid());
    QVERIFY(grid && grid->tableInterface());
    for (int language : {0, 1}) {
        if (language) g.w->Dispatch(QStringLiteral("miChinese"));
        for (int col : {int(colRxFreq), int(colTxFreq), int(colName)}) {
            QAccessibleInterface* cell = grid->tableInterface()->cellAt(11, col);
            QVERIFY(cell && cell->tableCellInterface());
            const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
            QCOMPARE(headers.size(), 1);
            QCOMPARE(headers[0]->role(), QAccessible::ColumnHeader);
            const QString title = headers[0]->text(QAccessible::Name);
            const QString name = cell->text(QAccessible::Name);
            const QString shown = g.grid()->model()->index(11, col).data().toString();
            QVERIFY2(!title.isEmpty() && !shown.isEmpty() && name.contains(title) &&
                         name.contains(QStringLiteral("12")) && name.endsWith(shown),
                     qPrintable(name));
            QAccessibleInterface* row = cell->tableCellInterface()->rowHeaderCells().value(0);
            QCOMPARE(row->role(), QAccessible::RowHeader);
            QVERIFY2(!row->text(QAccessible::Name).contains(QStringLiteral("12")), "said twice");
        }
        QVERIFY(grid->tableInterface()
                    ->cellAt(11, colChannel)
                    ->text(QAccessible::Name)
                    .contains(QStringLiteral("12")));
        QAccessibleInterface* corner = grid->child(0);
        QVERIFY(!corner->text(QAccessible::Name).isEmpty() && corner->state().invisible);
        g.click(12, colTxFreq);
        QTest::keyClick(g.txt(), Qt::Key_Escape);
        g.key(Qt::Key_Up);
        g.key(Qt::Key_4);  // typed over channel 11's cell
        QVERIFY(g.txt()->hasFocus());
        const QString editor = QAccessible::queryAccessibleInterface(g.txt())->text(QAccessible::Name);
        QVERIFY2(
            editor.contains(QStringLiteral("11")) &&
                editor.contains(g.grid()->model()->headerData(colTxFreq, Qt::Horizontal).toString()),
            qPrintable(editor));
        QTest::keyClick(g.txt(), Qt::Key_Escape);
    }
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
