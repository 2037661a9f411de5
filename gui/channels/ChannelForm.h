// The channel editor: the channel list as a 13-column grid with floating cell
// editors (txtChannel for frequencies and names, CboChannel 0..2 for the
// fixed choices), and the CH Up / CH Down / CH Del buttons.
//
// The image is the only copy of the channels: the grid is a view over the
// channel records that renders their cells in the current language, and a
// committed cell editor writes its channel's record at once. RefreshChannel
// re-renders (after a language switch or a change of the image made
// elsewhere); SaveCHData only commits an open editor. Closing the window
// only hides it. Other windows (the batch editor) change channels through
// EditChannels.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include <array>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "channels/ChannelRowOps.h"
#include "channels/ChannelRows.h"
#include "image/Dialogs.h"
#include "image/Module1.h"

class QAction;
class QComboBox;
class QMenu;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTableView;

namespace rm427::gui {

class EditHistory;
class MDIForm1;

// The grid's model over the image's channel records: row r is channel
// r + 1, its cells rendered in the current language; the header holds the
// column titles.
class ChannelGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ChannelGridModel(const Module1& state, QObject* parent = nullptr)
        : QAbstractTableModel(parent), state_(state), count_(state.CHCount) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // Everything may have changed (the channel count too).
    void Changed();
    // Channel n (1..count) changed.
    void ChannelChanged(int n);
    // The text of a cell (channel 1..count, column 0..12); row 0: the titles.
    std::string Cell(int row, int col) const;
    // "Channel 12, Rx Freq, 145.12500" for row 12 (1-based) and a column, in
    // the current language; without the value when withValue is false or
    // the cell is empty.
    QString CellName(int row, int col, bool withValue = true) const;
    // A name typed into an empty channel goes into its record, but an empty
    // channel shows no cells once the grid is filled again (Changed); until
    // then its row keeps showing what was typed.
    void ShowTypedName(int n, const std::string& name);

private:
    const Module1& state_;
    int count_;
    std::map<int, std::string> typedNames_;
};

class ChannelForm : public QWidget {
    Q_OBJECT
public:
    // main may be null (a window on its own, in tests): then closing only
    // hides and the memory map shortcut only stores.
    ChannelForm(Module1& state, MessageBoxes& boxes, MDIForm1* main, QWidget* parent = nullptr);

    // Captions, column titles, every cell rendered again from the image.
    void RefreshChannel();
    // Commits the open editor (whose channel is then in the image).
    void SaveCHData();
    // Commits the open editor (its validation); nothing when none is open.
    void TransferFocus();
    // Opens the editor for CurCHRow / CurCHCol.
    void EditCell();

    // The text the grid shows in a cell (row 0 the titles, row n channel n).
    std::string Cell(int row, int col) const;
    // Commits the open editor, lets `edit` change the channels, writes them
    // into the image and shows them.
    void EditChannels(const std::function<void(ChannelList&)>& edit);

    // Every change of the rows becomes an undo step of `history` (none: the
    // window on its own).
    void SetHistory(EditHistory* history) { history_ = history; }
    // The selected cells as rectangles (first row, first column, last row,
    // last column; rows are channels).
    using Selection = std::vector<std::array<int, 4>>;
    Selection SelectedCells() const;
    // Undo and redo, after the image came back: the cells shown again, the
    // current cell and the selection back; an open editor is closed without
    // taking its text.
    void PutState(int row, int col, const Selection& selection);

    // Many rows at once (ChannelForm_rows.cpp). The selected channels, in
    // order; the current channel when no cell is selected.
    std::vector<int> SelectedChannels() const;
    // Selects channels first..last as whole rows; the current cell moves to
    // `first`, keeping its column.
    void SelectChannels(int first, int last);
    // Each of these is one undo step.
    void CopyChannels();
    void CutChannels();
    void PasteChannels();
    void DeleteChannels();  // empties the selected channels
    void DeleteCells();     // the Delete key: empties the selected cells
    void InsertChannel();   // asks before a programmed last channel falls off
    void RemoveChannel();
    void MoveChannels(int delta);                   // the selected block, one row up (-1) or down
    void SortChannels(int column, bool ascending);  // the selected channels, or all
    void CompactChannels();
    void FindChannel();  // asks for the text
    void FindNext();
    // The grid's context menu (built once, captions in the current language).
    QMenu* ContextMenu() const { return menu_; }

    // The application is ending: let the window really close.
    void Release() { released_ = true; }

    QTableView* Grid() const { return grid_; }
    QWidget* Picture1() const { return picture_; }
    QLineEdit* TxtChannel() const { return txt_; }
    QComboBox* CboChannel(int index) const { return cbo_[index]; }
    // The grid's design width and height in twips (computed at load).
    int DesignWidthTwips() const { return designWidth_; }
    int DesignHeightTwips() const { return designHeight_; }
    // Twips <-> pixels at the screen's logical resolution.
    int ToPixelsX(double twips) const;
    int ToPixelsY(double twips) const;
    double ToTwipsX(int pixels) const;
    double ToTwipsY(int pixels) const;

signals:
    // The window was hidden by its own close box or Close button.
    void hiddenByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepChannelNumbersInView();
    void SetCaptions();
    void FitColumns();
    void SetCurrent(int row, int col);  // CurCHRow/CurCHCol and the grid's cell
    void Redirect(int row, int& col) const;
    bool GridKey(QKeyEvent* key);
    bool TextKey(QKeyEvent* key);
    bool ComboKey(int index, QKeyEvent* key);
    void OpenText(const QString& text, bool selectAll);
    void OpenCombo(int index);
    void PlaceEditors();
    void ValidateText();
    // The validations as undo steps.
    void CommitText();
    void CommitCombo(int index);
    // `change` as one undo step named by text `name`.
    void Change(int name, const std::function<void()>& change);
    void ValidateCombo(int index);
    void RowOperation(int name, void (*op)(Module1&, ChannelList&));
    // `edit` on the channel list as one undo step named by text `name`.
    void ChangeChannels(int name, const std::function<void(ChannelList&)>& edit);
    // Channel n of the image, and back (shown at once).
    Channel ChannelOf(int n) const;
    void PutChannelOf(int n, const Channel& ch);
    void MemoryMapShortcut();
    void BuildRowCommands();
    void SetRowCaptions();
    bool RowKey(QKeyEvent* key);      // the row commands' keys; true when taken
    bool NumberMouse(QEvent* event);  // clicks and drags on the channel numbers
    void ShowContextMenu(const QPoint& at);
    void PutChannelsOnClipboard();
    int ChannelAtY(int y) const;
    // Selects the channels from `anchor` to `to` as rows; `to` is current.
    void SelectRange(int anchor, int to);
    void Deactivated();
    QString Text(int n) const;
    bool Editing() const;

    Module1& state_;
    MessageBoxes& boxes_;
    MDIForm1* main_;
    EditHistory* history_ = nullptr;
    ChannelGridModel* model_ = nullptr;
    QWidget* picture_ = nullptr;
    QTableView* grid_ = nullptr;
    QLineEdit* txt_ = nullptr;
    QComboBox* cbo_[3] = {};
    QPushButton* close_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* del_ = nullptr;
    int designWidth_ = 0;   // twips
    int designHeight_ = 0;  // twips
    // The cell the open editor belongs to.
    int editRow_ = 0, editCol_ = 0;
    bool txtOpen_ = false;
    bool cboOpen_[3] = {};
    bool released_ = false;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> rowActions_;
    int anchor_ = 0;                   // the channel a Shift selection extends from
    QPersistentModelIndex pressCell_;  // where the left button went down
    bool numberDrag_ = false;          // a drag over the channel numbers is selecting
    std::string findText_;
    int sortColumn_ = 1;  // the column the context menu was opened on
};

}  // namespace rm427::gui
