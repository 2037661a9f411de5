// The memory map: the whole codeplug image as a hexadecimal table of 256 rows
// of 16 bytes, every byte editable in place.
//
// The window edits the copy held in its table. OK writes the bytes the user
// changed back into the image; Cancel (or closing the window) drops them.
// It is not modal:
//     auto* map = new frmMemoryMap(state, this);
//     map->setAttribute(Qt::WA_DeleteOnClose);
//     map->show();
// or simply frmMemoryMap::ShowMap(state, this), which does the same.
#pragma once

#include <QDialog>
#include <QString>

#include "image/Module1.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace rm427 {

class frmMemoryMap : public QDialog {
    Q_OBJECT

public:
    explicit frmMemoryMap(Module1& state, QWidget* parent = nullptr);

    // Opens a map of `state` that deletes itself when closed.
    static frmMemoryMap* ShowMap(Module1& state, QWidget* parent = nullptr);

    // The table as laid out on screen: row 0 holds the column labels, column
    // 0 the row labels; data cell (r + 1, c + 1) is image offset 16 r + c.
    static constexpr int kRows = 257;
    static constexpr int kCols = 17;
    QString TextMatrix(int row, int col) const;

signals:
    // OK is about to write the changed bytes into the image.
    void writingBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void FillTable();
    void ShowSelection();
    // `row`, `col` are data coordinates (0..255, 0..15).
    void StartEdit(int row, int col, const QString& initial, bool selectAll);
    void CommitEdit();  // Enter: store, then move on
    void CancelEdit();  // Escape, or the table scrolled
    void LeaveEdit();   // the editor lost the focus: store the checked text
    void HideEditor();
    void PlaceEditor();
    bool Editing() const;
    static QString Checked(const QString& text);
    void WriteBack();

    bool TableKey(class QKeyEvent* key);
    bool EditorKey(class QKeyEvent* key);

    Module1& state_;
    CodeplugImage loaded_{};  // what the table was filled with

    QTableWidget* msgMemory_ = nullptr;
    QLineEdit* txtMemory_ = nullptr;
    QLabel* lblAddr_ = nullptr;
    QLabel* LblValue_ = nullptr;
    QPushButton* CmdOK_ = nullptr;
    QPushButton* CmdCancel_ = nullptr;

    int editRow_ = -1;  // data cell under edit, -1 when none
    int editCol_ = -1;
    QString savedText_;
    bool hiding_ = false;  // the editor is being hidden on purpose
};

}  // namespace rm427
