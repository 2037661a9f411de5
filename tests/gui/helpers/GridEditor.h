// The main window with its channel editor, driven like a user: clicks on the
// grid's cells and typing into the cell editor.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "channels/ChannelColumns.h"
#include "channels/ChannelForm.h"
#include "channels/ChannelRecord.h"
#include "helpers/ShellFixture.h"

namespace rm427::test {

struct GridEditor {
    ShellFixture f;
    gui::MDIForm1* w = nullptr;
    gui::ChannelForm* form = nullptr;

    explicit GridEditor(bool hookWindows = true) {
        w = &f.Start(hookWindows);
        w->activateWindow();
        form = w->Channels();
    }
    bool Active() { return QTest::qWaitForWindowActive(w); }
    QTableView* grid() const { return form->Grid(); }
    QLineEdit* txt() const { return form->TxtChannel(); }
    QComboBox* cbo(int i) const { return form->CboChannel(i); }
    std::string cell(int row, int col) const { return form->Cell(row, col); }
    const std::uint8_t* record(int n) const { return &f.state.Image[ChannelOffset(n)]; }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(grid(), Qt::Key(k), m); }
    // The centre of a cell, scrolled into view first.
    QPoint at(int row, int col) const {
        const QModelIndex i = grid()->model()->index(row - 1, col);
        grid()->scrollTo(i);
        return grid()->visualRect(i).center();
    }
    void click(int row, int col, Qt::KeyboardModifiers m = {}) {
        const QPoint p = at(row, col);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, m, p);
    }
    // Opens the receive editor of a row by a click, enters the frequency and,
    // when given, the name.
    void program(int row, const char* rx, const char* name = "") {
        click(row, colRxFreq);
        QTest::keyClicks(txt(), QString::fromLatin1(rx));
        QTest::keyClick(txt(), Qt::Key_Return);
        if (*name) {
            click(row, colName);
            QTest::keyClicks(txt(), QString::fromLatin1(name));
            QTest::keyClick(txt(), Qt::Key_Return);
        }
    }
};

}  // namespace rm427::test
