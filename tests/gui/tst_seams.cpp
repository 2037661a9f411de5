// The small GUI seams: Enter moving on like Tab, the dialog filter text.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

#include "ui/QtDialogs.h"
#include "ui/SendTab.h"

using namespace rm427::gui;

class TestSeams : public QObject {
    Q_OBJECT
private slots:
    void enterMovesOnFromListsOptionsAndChecks();
    void filterText();
};

void TestSeams::enterMovesOnFromListsOptionsAndChecks() {
    QDialog dlg;
    auto* layout = new QVBoxLayout(&dlg);
    auto* combo = new QComboBox;
    combo->addItems({"a", "b"});
    auto* radio = new QRadioButton("r");
    auto* check = new QCheckBox("c");
    auto* edit = new QLineEdit;
    auto* last = new QLineEdit;
    for (QWidget* w :
         {static_cast<QWidget*>(combo), static_cast<QWidget*>(radio), static_cast<QWidget*>(check),
          static_cast<QWidget*>(edit), static_cast<QWidget*>(last)})
        layout->addWidget(w);
    new EnterSendsTab(&dlg);
    // Added after the filter: still watched.
    auto* late = new QCheckBox("late");
    layout->addWidget(late);
    bool accepted = false;
    connect(&dlg, &QDialog::accepted, [&] { accepted = true; });
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));

    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_VERIFY(radio->hasFocus());
    QCOMPARE(combo->currentIndex(), 0);
    QTest::keyClick(radio, Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(check->hasFocus());
    QVERIFY(!check->isChecked());
    QTest::keyClick(check, Qt::Key_Return);
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!check->isChecked());
    QVERIFY(!accepted);
    // A text box keeps its Enter.
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(edit->hasFocus());
    late->setFocus();
    QTRY_VERIFY(late->hasFocus());
    QTest::keyClick(late, Qt::Key_Return);
    QTRY_VERIFY(!late->hasFocus());
    // SendTab on its own moves from the focused control.
    last->setFocus();
    QTRY_VERIFY(last->hasFocus());
    SendTab();
    QTRY_VERIFY(!last->hasFocus());
}

void TestSeams::filterText() {
    QCOMPARE(QtFilterText("DOV Data Files (*.dat)|*.dat"), QStringLiteral("DOV Data Files (*.dat)"));
    QCOMPARE(QtFilterText("DOV Data Files (*.dat)"), QStringLiteral("DOV Data Files (*.dat)"));
}

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
