// The desktop habits of the program: exact captions, Enter on buttons, the
// keyboard back after a modal window, the batch editor's Tab order, and Qt's
// own texts in the program's language, the channel numbers in a narrow
// channel window.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include "channels/ChannelForm.h"
#include "helpers/ScriptedDialogs.h"
#include "helpers/ShellFixture.h"
#include "io/RegKeys.h"
#include "settings/FrmBatch.h"
#include "ui/DesktopHabits.h"
#include "ui/QtDialogs.h"

using namespace rm427;
using rm427::test::ShellFixture;

namespace {

void ActivateAndWait(QWidget& w) {
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

QPushButton* ButtonWithRole(QWidget* box, QDialogButtonBox::ButtonRole role) {
    const auto bb = box->findChild<QDialogButtonBox*>();
    if (!bb) return nullptr;
    for (QAbstractButton* b : bb->buttons())
        if (bb->buttonRole(b) == role) return qobject_cast<QPushButton*>(b);
    return nullptr;
}

}  // namespace

class TstDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        gui::SetUpApplication(*qobject_cast<QApplication*>(qApp), QStringLiteral("0"));
    }
    void captionsAreExact();
    void enterPressesTheFocusedButton();
    void keyboardReturnsAfterAModalWindow();
    void enterNoControlTakesPressesTheDefault();
    void batchEditorTabFollowsTheLayout();
    void qtTextsFollowTheLanguage();
    void narrowChannelWindowKeepsTheNumbers();
};

void TstDesktop::captionsAreExact() {
    // The toolkit appends a display name to every title once one is set.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    ShellFixture f;
    gui::MDIForm1& main = f.Start();
    QCOMPARE(main.windowTitle(), QString::fromStdString(f.state.TitleText()));
    gui::QtMessageBoxes boxes(&main);
    QString title;
    ShellFixture::OnModal([&title](QWidget* w) {
        title = w->windowTitle();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    boxes.Show({"text", "Alert!", MsgIcon::Exclamation, MsgButtons::Ok, 0, "", {}});
    QCOMPARE(title, QStringLiteral("Alert!"));
}

void TstDesktop::enterPressesTheFocusedButton() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start(false);
    ActivateAndWait(main);
    main.Dispatch(QStringLiteral("miBatchEdit"));
    QPointer<gui::FrmBatch> batch = main.MdiArea()->findChild<gui::FrmBatch*>();
    QVERIFY(batch);
    // Apply on the focused button fills the range (the channel editor shows it).
    batch->TxtBatch1(1)->setText(QStringLiteral("145.00000"));
    batch->Command1(0)->setFocus();
    QTest::keyClick(batch->Command1(0), Qt::Key_Return);
    QTRY_VERIFY(!main.Channels()->Grid()->model()->index(1, 1).data().toString().isEmpty());
    // Enter on a check box keeps its meaning: it moves on, it does not toggle.
    batch->ChkBatch4()->setFocus();
    const bool checked = batch->ChkBatch4()->isChecked();
    QTest::keyClick(batch->ChkBatch4(), Qt::Key_Return);
    QCOMPARE(batch->ChkBatch4()->isChecked(), checked);
    QVERIFY(!batch->ChkBatch4()->hasFocus());
    // Keypad Enter on Close closes the window.
    batch->Command1(1)->setFocus();
    QTest::keyClick(batch->Command1(1), Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(!batch);
}

void TstDesktop::keyboardReturnsAfterAModalWindow() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start(false);
    ActivateAndWait(main);
    QTableView* grid = main.Channels()->Grid();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    bool pressed = false;
    ShellFixture::OnModal([&pressed](QWidget* about) {
        // The about box's OK, pressed with Enter.
        auto* ok = about->findChild<QPushButton*>();
        QVERIFY(ok);
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        pressed = true;
    });
    main.Dispatch(QStringLiteral("miAbout"));
    QVERIFY(pressed);
    QTRY_COMPARE(QApplication::activeWindow(), &main);
    QTRY_COMPARE(QApplication::focusWidget(), grid);

    // Also after a window without an owner.
    grid->setFocus();
    ShellFixture::OnModal([](QWidget* ports) { QTest::keyClick(ports, Qt::Key_Escape); });
    main.Dispatch(QStringLiteral("miCommunicationPort"));
    QTRY_COMPARE(QApplication::activeWindow(), &main);
    QTRY_COMPARE(QApplication::focusWidget(), grid);
}

// The model and port windows have OK as their default button: Enter that no
// control takes confirms, while Enter in a list still moves on.
void TstDesktop::enterNoControlTakesPressesTheDefault() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start(false);
    ActivateAndWait(main);
    const std::uint8_t before = f.state.ModelCode;
    int result = -1;
    bool listMovedOn = false;
    ShellFixture::OnModal([&](QWidget* w) {
        auto* bands = w->findChild<QComboBox*>(QStringLiteral("CboModel_1"));
        QVERIFY(bands && bands->count() > 1);
        bands->setFocus();
        QTRY_VERIFY(bands->hasFocus());
        QTest::keyClick(bands, Qt::Key_Return);
        listMovedOn = !bands->hasFocus() && w->isVisible();
        bands->setCurrentIndex(bands->currentIndex() == 0 ? 1 : 0);
        f.boxes.Answer(MsgAnswer::Ok);  // "Datas will be Cleared,continue?"
        QTest::keyClick(w, Qt::Key_Return);
        result = w->isVisible() ? -1 : qobject_cast<QDialog*>(w)->result();
        if (w->isVisible()) qobject_cast<QDialog*>(w)->reject();
    });
    main.Dispatch(QStringLiteral("miModel"));
    QVERIFY(listMovedOn);
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(f.state.ModelCode != before);

    result = -1;
    ShellFixture::OnModal([&result](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Return);
        result = w->isVisible() ? -1 : qobject_cast<QDialog*>(w)->result();
        if (w->isVisible()) qobject_cast<QDialog*>(w)->reject();
    });
    main.Dispatch(QStringLiteral("miCommunicationPort"));
    QCOMPARE(result, int(QDialog::Accepted));
}

void TstDesktop::batchEditorTabFollowsTheLayout() {
    ShellFixture f;
    gui::MDIForm1& main = f.Start(false);
    ActivateAndWait(main);
    main.Dispatch(QStringLiteral("miBatchEdit"));
    auto* batch = main.MdiArea()->findChild<gui::FrmBatch*>();
    QVERIFY(batch);
    // A range of channels and a transmit frequency of its own open their fields.
    QTest::mouseClick(batch->OptBatch1(1), Qt::LeftButton);
    QTest::mouseClick(batch->OptBatch3(2), Qt::LeftButton);
    batch->OptBatch1(1)->setFocus();
    QTRY_VERIFY(batch->OptBatch1(1)->hasFocus());
    QStringList visited;
    for (int i = 0; i < 60 && QApplication::focusWidget() != batch->Command1(1); ++i) {
        QWidget* w = QApplication::focusWidget();
        visited << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
    }
    visited << QApplication::focusWidget()->objectName();
    // Range, receive, transmit, decode, encode, the options column, Apply, Close.
    const QStringList expected =
        QStringLiteral(
            "OptBatch1_1 TxtBatch0_0 TxtBatch0_1 TxtBatch1_1 TxtBatch2_1 OptBatch2A_0 "
            "OptBatch3_2 TxtBatch1_3 TxtBatch2_2 OptBatch3B_0 CboBatch_0 ChkBatch4 TxtBatch3_1 "
            "OptBatch4A_0 OptBatch5_0 CboBatch6_2 CboBatch6_0 CboBatch6_1 CboBatch6_6 CboBatch6_3 "
            "CboBatch6_7 CboBatch6_8 TxtBatch7 Command1_0 Command1_1")
            .split(' ');
    QCOMPARE(visited, expected);
}

void TstDesktop::qtTextsFollowTheLanguage() {
    ShellFixture f;
    f.StoreSetting("language", "1");
    gui::MDIForm1& main = f.Start();
    main.ShowDemoPanel(1);
    auto* demo = main.MSBar()->findChild<QLabel*>(QStringLiteral("MSBarDemo"));
    QVERIFY(demo);
    QCOMPARE(demo->text(), QStringLiteral("模拟对讲机（演示），COM1"));

    gui::QtMessageBoxes boxes(&main);
    auto okText = [&boxes] {
        QString text;
        ShellFixture::OnModal([&text](QWidget* w) {
            if (QPushButton* ok = ButtonWithRole(w, QDialogButtonBox::AcceptRole)) text = ok->text();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        boxes.Show({"?", "RM-427", MsgIcon::Question, MsgButtons::OkCancel, 0, "", {}});
        return text;
    };
    QCOMPARE(okText(), QStringLiteral("确定"));
    main.Dispatch(QStringLiteral("miEnglish"));
    QCOMPARE(okText(), QStringLiteral("OK"));
    QCOMPARE(demo->text(), QStringLiteral("Simulated radio (demo) on COM1"));
    main.Dispatch(QStringLiteral("miChinese"));
    QCOMPARE(okText(), QStringLiteral("确定"));

    // A demo run's settings file is thrown away: closing stores nothing.
    main.Dispatch(QStringLiteral("miEnglish"));
    QVERIFY(f.Close());
    QCOMPARE(QString::fromStdString(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "language")),
             QStringLiteral("1"));
}

// In a window narrower than its own size End scrolls the grid to the name
// column: the channel numbers stay at its left edge, a click there selects
// that channel, and moving back left never hides a cell under them.
void TstDesktop::narrowChannelWindowKeepsTheNumbers() {
    Module1 state;
    test::ScriptedMessageBoxes boxes;
    gui::ChannelForm form(state, boxes, nullptr);
    form.resize(form.width() / 2, form.height());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTableView* grid = form.Grid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_End);
    QCOMPARE(state.CurCHCol, int(colName));
    QVERIFY(grid->horizontalScrollBar()->value() > 0);

    // What the user sees at the grid's left edge in the second row.
    const QPoint edge = grid->viewport()->pos() + QPoint(3, grid->rowViewportPosition(1) + 3);
    QWidget* under = grid->childAt(edge);
    auto* view = qobject_cast<QAbstractItemView*>(under ? under->parentWidget() : nullptr);
    QVERIFY(view);
    QCOMPARE(view->indexAt(under->mapFrom(grid, edge)), grid->model()->index(1, colChannel));
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(grid, edge));
    QCOMPARE(form.SelectedChannels(), std::vector<int>{2});

    while (state.CurCHCol > colRxFreq) {
        const int col = state.CurCHCol;
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(state.CurCHCol, col - 1);
        QVERIFY(grid->columnViewportPosition(col - 1) >= grid->columnWidth(colChannel));
    }
}

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
