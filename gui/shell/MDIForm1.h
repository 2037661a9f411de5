// The main window: menus and toolbar (command bar), status bar, the child
// windows (channel editor, batch editor) and the one command dispatch.
//
// Windows built elsewhere plug in through the Open... routines in
// MDIForm1_windows.cpp, one routine per window; the command table in
// MDIForm1.cpp calls them.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

#include "file/FileCommands.h"
#include "file/History.h"
#include "image/Dialogs.h"
#include "image/Module1.h"
#include "view/ColourSchemes.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QStatusBar;
class QTimer;

namespace rm427::gui {

class CommandBar;
class ChannelForm;
class EditHistory;
class QtOwnTexts;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole start-up: settings, layout, language, new image, channel
    // editor, title. The message boxes and file dialogs outlive the window.
    MDIForm1(Module1& state, MessageBoxes& boxes, FileDialogs& files, QWidget* parent = nullptr);
    ~MDIForm1() override;

    Module1& State() { return state_; }
    MessageBoxes& Boxes() { return boxes_; }
    FileDialogs& Files() { return files_; }
    CommandBar& Bar() { return *bar_; }
    QMdiArea* MdiArea() const { return mdi_; }
    QStatusBar* MSBar() const { return msBar_; }
    ChannelForm* Channels() const { return channels_; }
    // Undo and redo of every change to the codeplug.
    EditHistory& History() { return *history_; }

    // The one dispatch, by exact tool name (the command bar's click lands here).
    void Dispatch(const QString& tool);

    // Every caption from the text table of the current language, the checks
    // of miEnglish/miChinese and the port panel.
    void ApplyLanguage();
    // "COM" + ComPort into the status bar's third panel.
    void RefreshPortPanel();
    // Caption = TitleText.
    void RefreshTitle();

    // The channel editor's public routines, for the other windows.
    void RefreshChannel();
    void SaveCHData();
    void TransferFocus();

    // Tests replace the opening of the windows other developers build (and of
    // any modal window) here: when set and it returns true, the window named
    // (e.g. "frmClone") is not opened.
    std::function<bool(const QString& window)> windowHook;

    // A copy into the history (reads, writes, saves); the first copy that
    // cannot be kept is told in a warning, later ones are silent.
    void KeepHistory(HistoryKind kind, const std::string& source, const CodeplugImage& image);
    HistoryRecorder& Copies();

    // The hidden test mode entry (status bar gesture).
    void ToggleTestModeEntry();

    // Opens `path` as Open does after its dialog: the unsaved-changes
    // question first, then the same checks and messages. Used for the file
    // named on the command line, a dropped file and the recent files.
    bool OpenFile(const QString& path);
    // The last opened or saved files, newest first (at most kRecentFiles).
    QStringList RecentFiles() const;
    static constexpr int kRecentFiles = 8;
    // Where the open and save dialogs start: the current file's folder, else
    // the folder of the newest recent file, else the home folder.
    QString DialogFolder() const;
    // rm427 --demo: the status bar panel, in the current language. The run's
    // settings file is a copy thrown away at the end, so closing the window
    // stores nothing into it (it would only cost time).
    void ShowDemoPanel(int port);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Command {
        bool store;
        void (MDIForm1::*action)();
    };
    class FileWindowAdapter;

    void StartUp();
    void ReadSettings();
    void StoreSettings();
    void UpdateClock();
    bool Hooked(const QString& window);

    // The rows of the command table.
    void CmdNew();
    void CmdOpen();
    void CmdSave();
    void CmdSaveAs();
    void CmdPrint();
    void CmdPrintPreview();
    void CmdRead();
    void CmdWrite();
    void CmdChinese();
    void CmdEnglish();
    void SwitchLanguage(int language);
    void CmdCommunicationPort();
    void CmdFunctionSet();
    void CmdBatchEdit();
    void CmdChannelInformation();
    void CmdModel();
    void CmdTestMode();
    void CmdAbout();
    void CmdExit();
    void CmdUndo();
    void CmdRedo();
    void CmdColoursSystem();
    void CmdColoursDark();
    void CmdColoursHighContrast();
    void SetColours(ColourScheme scheme, bool store);
    // Captions and enabled state of Undo and Redo, named after their steps.
    void RefreshUndoCaptions();
    // Import Channels... / Export Channels... (MDIForm1_channelfiles.cpp).
    void CmdImportChannels();
    void CmdExportChannels();
    void ApplyChannelFileCaptions();
    // File > History... (MDIForm1_history.cpp).
    void CmdHistory();
    void ApplyHistoryCaption();
    bool OpenHistoryCopy(const CodeplugImage& image);
    // Program > Program Many Radios... (MDIForm1_fleet.cpp).
    void CmdFleet();
    void ApplyFleetCaption();
    // The recent files (MDIForm1_recent.cpp).
    void AddRecentFile(const QString& path);
    void StoreRecentFiles(const QStringList& files);
    void RefreshRecentMenu();
    void OpenRecent(int n);

    // Windows of other parts of the program (MDIForm1_windows.cpp).
    void OpenClone();          // frmClone, modal, owned by this window
    void OpenComPort();        // frmComPort, modal, no owner
    void BackFromOwnerless();  // after frmComPort or frmSet closes
    void OpenFunctionSet();    // frmSet, modal, no owner
    void ToggleBatchEdit();    // FrmBatch, child window
    void OpenTestMode();       // frmTestMode, modal, owned
    void RefreshSetFace();     // frmSet's refresh after a language switch

public:
    // frmMemoryMap, non-modal; the channel editor's shortcut opens it.
    void OpenMemoryMap();

private:
    Module1& state_;
    MessageBoxes& boxes_;
    FileDialogs& files_;
    CommandBar* bar_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QStatusBar* msBar_ = nullptr;
    QLabel* panelDate_ = nullptr;
    QLabel* panelTime_ = nullptr;
    QLabel* panelPort_ = nullptr;
    QTimer* clock_ = nullptr;
    ChannelForm* channels_ = nullptr;
    EditHistory* history_ = nullptr;
    QMdiSubWindow* channelsWindow_ = nullptr;
    std::unique_ptr<FileWindowAdapter> fileWindow_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::map<QString, Command> commands_;
    QMdiSubWindow* lastActive_ = nullptr;
    bool closing_ = false;
    bool shownOnce_ = false;
    QSize channelsSize_;                       // the editor's own size, set by its load
    std::unique_ptr<HistoryRecorder> copies_;  // the history folder of reads, writes, saves
    std::unique_ptr<QtOwnTexts> qtTexts_;
    int demoPort_ = 0;  // 0: no simulated radio
};

}  // namespace rm427::gui
