// The two windows as the main window opens and closes them.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "channels/ChannelForm.h"
#include "helpers/ShellFixture.h"
#include "settings/FrmBatch.h"
#include "settings/frmSet.h"
#include "ui/CommandBar.h"

using namespace rm427;
using rm427::test::ShellFixture;

class TestSettingsWindows : public QObject {
    Q_OBJECT
private slots:
    void functionSetIsModalAndStoresOnOk() {
        ShellFixture f;
        auto& w = f.Start(false);
        QString shownTitle;
        bool modal = false;
        ShellFixture::OnModal([&](QWidget* dlg) {
            auto* set = qobject_cast<gui::frmSet*>(dlg);
            QVERIFY(set);
            shownTitle = set->windowTitle();
            modal = set->isModal();
            set->CboSet(0)->setCurrentIndex(6);
            set->Command1(0)->click();
        });
        w.Dispatch(QStringLiteral("miFunctionSet"));
        QCOMPARE(shownTitle, QStringLiteral("Optional Features"));
        QVERIFY(modal);
        QCOMPARE(int(f.state.Image[0xE95]), 6);
        QCOMPARE(int(f.state.Image[0xEB5]), 6);
        QVERIFY(!w.Bar().ToolCheck(QStringLiteral("miProgram"), QStringLiteral("miFunctionSet")));

        ShellFixture::OnModal([](QWidget* dlg) {
            auto* set = qobject_cast<gui::frmSet*>(dlg);
            set->CboSet(0)->setCurrentIndex(1);
            set->Command1(1)->click();
        });
        w.Dispatch(QStringLiteral("miFunctionSet"));
        QCOMPARE(int(f.state.Image[0xE95]), 6);
    }

    void batchEditTogglesAsAChildWindow() {
        ShellFixture f;
        auto& w = f.Start(false);
        const QString band = QStringLiteral("miProgram"), tool = QStringLiteral("miBatchEdit");
        w.Dispatch(tool);
        QPointer<gui::FrmBatch> batch = w.MdiArea()->findChild<gui::FrmBatch*>();
        QVERIFY(batch);
        QVERIFY(w.Bar().ToolCheck(band, tool));
        auto* sub = qobject_cast<QMdiSubWindow*>(batch->parentWidget());
        QVERIFY(sub);
        QVERIFY(sub->isMaximized());
        QCOMPARE(w.windowTitle(), QString::fromStdString(f.state.TitleText()));
        QCOMPARE(w.focusWidget(),
                 static_cast<QWidget*>(batch->TxtBatch1(1)));  // digits go to the receive start

        // Close releases the window and the check (Apply: tst_undo, tst_desktop).
        batch->Command1(1)->click();
        QTRY_VERIFY(!batch);
        QVERIFY(!w.Bar().ToolCheck(band, tool));
        QVERIFY(w.isVisible());
        // The channel editor comes back as it was, with the keys in its grid.
        QTRY_COMPARE(w.focusWidget(), static_cast<QWidget*>(w.Channels()->Grid()));
        QVERIFY(!w.Channels()->parentWidget()->isMaximized());
        QCOMPARE(w.windowTitle(), QString::fromStdString(f.state.TitleText()));

        // The command opens it again, and closes it when it is open.
        w.Dispatch(tool);
        batch = w.MdiArea()->findChild<gui::FrmBatch*>();
        QVERIFY(batch);
        w.Dispatch(tool);
        QTRY_VERIFY(!batch);
        QVERIFY(!w.Bar().ToolCheck(band, tool));
    }
};

QTEST_MAIN(TestSettingsWindows)
#include "tst_settingswindows.moc"
