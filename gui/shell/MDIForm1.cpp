#include "shell/MDIForm1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "channels/ChannelForm.h"
#include "image/SettingsText.h"
#include "io/RegKeys.h"
#include "settings/FrmBatch.h"
#include "shell/EditHistory.h"
#include "shell/ChannelPrint.h"
#include "shell/frmAbout.h"
#include "shell/frmModel.h"
#include "text/AccessKeys.h"
#include "text/TextTable.h"
#include "ui/Accessible.h"
#include "ui/ColourPalette.h"
#include "ui/CommandBar.h"
#include "ui/DesktopHabits.h"
#include "ui/Twips.h"

// Resources of a static library have to be registered by hand.
static void InitShellResources() { Q_INIT_RESOURCE(shell); }

namespace rm427::gui {
namespace {}  // namespace

// What the file commands ask of the window.
class MDIForm1::FileWindowAdapter : public FileWindow {
public:
    explicit FileWindowAdapter(MDIForm1& w) : w_(w) {}
    void RefreshChannel() override { w_.RefreshChannel(); }
    // Called after a file was opened or written: it joins the recent files.
    void SetCaption(const std::string& caption) override {
        w_.setWindowTitle(QString::fromStdString(caption));
        if (w_.state_.FileName != "Untitled.dat")
            w_.AddRecentFile(QString::fromStdString(w_.state_.FileName));
    }
    void Saved(const std::string& path, const CodeplugImage& image) override {
        w_.KeepHistory(HistoryKind::Save, path, image);
    }
    void Replacing(const std::string& path, const CodeplugImage& previous) override {
        w_.KeepHistory(HistoryKind::Save, path, previous);
    }

private:
    MDIForm1& w_;
};

MDIForm1::MDIForm1(Module1& state, MessageBoxes& boxes, FileDialogs& files, QWidget* parent)
    : QMainWindow(parent), state_(state), boxes_(boxes), files_(files) {
    InitShellResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setAcceptDrops(true);
    qtTexts_ = std::make_unique<QtOwnTexts>();
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIArea"));
    // Closing the maximised batch editor must not maximise the channel
    // editor in its place.
    mdi_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(mdi_);

    msBar_ = new QStatusBar(this);
    msBar_->setObjectName(QStringLiteral("MSBar"));
    panelDate_ = new QLabel(msBar_);
    panelDate_->setObjectName(QStringLiteral("MSBarDate"));
    panelTime_ = new QLabel(msBar_);
    panelTime_->setObjectName(QStringLiteral("MSBarTime"));
    panelPort_ = new QLabel(msBar_);
    panelPort_->setObjectName(QStringLiteral("MSBarPort"));
    for (QLabel* l : {panelDate_, panelTime_, panelPort_}) {
        l->setMinimumWidth(120);
        l->setContentsMargins(6, 0, 6, 0);
        msBar_->addWidget(l);
        l->installEventFilter(this);
    }
    msBar_->installEventFilter(this);
    setStatusBar(msBar_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &MDIForm1::UpdateClock);
    clock_->start(1000);
    UpdateClock();

    fileWindow_ = std::make_unique<FileWindowAdapter>(*this);
    fileCommands_ = std::make_unique<FileCommands>(state_, boxes_, files_, *fileWindow_);

    commands_ = {
        {QStringLiteral("miNew"), {false, &MDIForm1::CmdNew}},
        {QStringLiteral("miOpen"), {true, &MDIForm1::CmdOpen}},
        {QStringLiteral("miSave"), {true, &MDIForm1::CmdSave}},
        {QStringLiteral("miSaveAs"), {true, &MDIForm1::CmdSaveAs}},
        {QStringLiteral("miPrint"), {true, &MDIForm1::CmdPrint}},
        {QStringLiteral("miPrintPreview"), {true, &MDIForm1::CmdPrintPreview}},
        {QStringLiteral("miRead"), {false, &MDIForm1::CmdRead}},
        {QStringLiteral("miWrite"), {true, &MDIForm1::CmdWrite}},
        {QStringLiteral("miChinese"), {true, &MDIForm1::CmdChinese}},
        {QStringLiteral("miEnglish"), {true, &MDIForm1::CmdEnglish}},
        {QStringLiteral("miCommunicationPort"), {true, &MDIForm1::CmdCommunicationPort}},
        {QStringLiteral("miFunctionSet"), {true, &MDIForm1::CmdFunctionSet}},
        {QStringLiteral("miBatchEdit"), {false, &MDIForm1::CmdBatchEdit}},
        {QStringLiteral("miCH-Information"), {false, &MDIForm1::CmdChannelInformation}},
        {QStringLiteral("miModel"), {false, &MDIForm1::CmdModel}},
        {QStringLiteral("miTestMode"), {false, &MDIForm1::CmdTestMode}},
        {QStringLiteral("miAbout"), {false, &MDIForm1::CmdAbout}},
        {QStringLiteral("miExit"), {false, &MDIForm1::CmdExit}},
        {QStringLiteral("miImportChannels"), {true, &MDIForm1::CmdImportChannels}},
        {QStringLiteral("miHistory"), {true, &MDIForm1::CmdHistory}},
        {QStringLiteral("miFleet"), {true, &MDIForm1::CmdFleet}},
        {QStringLiteral("miExportChannels"), {true, &MDIForm1::CmdExportChannels}},
        {QStringLiteral("miUndo"), {false, &MDIForm1::CmdUndo}},
        {QStringLiteral("miRedo"), {false, &MDIForm1::CmdRedo}},
        {QStringLiteral("miColoursSystem"), {false, &MDIForm1::CmdColoursSystem}},
        {QStringLiteral("miColoursDark"), {false, &MDIForm1::CmdColoursDark}},
        {QStringLiteral("miColoursHighContrast"), {false, &MDIForm1::CmdColoursHighContrast}},
    };
    history_ = new EditHistory(state_, this);

    StartUp();
}

MDIForm1::~MDIForm1() {
    // The child windows are destroyed after this window's own members (by
    // QObject's destructor); the signals they send while going, such as the
    // area's subWindowActivated, must not reach the half-destroyed window.
    const auto children = findChildren<QObject*>();
    for (QObject* child : children) QObject::disconnect(child, nullptr, this, nullptr);
}

void MDIForm1::StartUp() {
    // 1-2. Stored model and language.
    ReadSettings();
    // 3. Every run starts on port 1.
    state_.ComPort = 1;
    // 4. 15900 x 10770 twips.
    resize(TwipsToPixelsX(this, 15900), TwipsToPixelsY(this, 10770));
    // 5. Menus and toolbar.
    bar_ = new CommandBar(this);
    QString error;
    if (!bar_->LoadLayoutFile(QStringLiteral(":/baseT.tbr"), &error))
        qFatal("rm427: the built-in menu layout is broken: %s", qPrintable(error));
    connect(bar_, &CommandBar::ToolClick, this, &MDIForm1::Dispatch);
    RefreshRecentMenu();
    // 6. Channels and band names.
    state_.CHCount = 128;
    state_.FillBandNames();
    // 7.
    ApplyLanguage();
    // 8. A new, unmodified image.
    state_.FileName = "Untitled.dat";
    state_.SetDefaultLimits();
    state_.ClearImage();
    state_.SnapshotImage();
    // 9. The channel editor, filled from the image (its load refreshes it).
    channels_ = new ChannelForm(state_, boxes_, this);
    channelsSize_ = channels_->size();
    channelsWindow_ = mdi_->addSubWindow(channels_);
    channelsWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    channelsWindow_->show();
    channelsWindow_->move(0, 0);
    history_->SetChannels(channels_);
    channels_->SetHistory(history_);
    connect(history_, &EditHistory::Changed, this, &MDIForm1::RefreshUndoCaptions);
    connect(history_, &EditHistory::Restored, this, &MDIForm1::RefreshTitle);
    RefreshUndoCaptions();
    connect(channels_, &ChannelForm::hiddenByUser, this, [this] {
        bar_->SetToolCheck(QStringLiteral("miProgram"), QStringLiteral("miCH-Information"), false);
    });
    // Leaving the channel editor for another child window stores its grid.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* now) {
        if (lastActive_ == channelsWindow_ && now && now != channelsWindow_) channels_->SaveCHData();
        if (now) lastActive_ = now;
    });
    // 10.
    bar_->SetToolCheck(QStringLiteral("miProgram"), QStringLiteral("miCH-Information"), true);
    bar_->SetToolVisible(QStringLiteral("miSetup"), QStringLiteral("miTestMode"), false);
    bar_->SetToolVisible(QStringLiteral("miSetup"), QStringLiteral("miSeparator"), false);
    // The colours chosen in an earlier run.
    SetColours(SchemeFromSetting(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Colours")), false);
    // 11.
    RefreshTitle();
}

// View > System Colours / Dark / High Contrast, kept in the settings store
// at once.
void MDIForm1::SetColours(ColourScheme scheme, bool store) {
    if (store || scheme != ColourScheme::System) ApplyColourScheme(scheme);
    const char* tools[] = {"miColoursSystem", "miColoursDark", "miColoursHighContrast"};
    for (int i = 0; i < 3; ++i)
        bar_->SetToolCheck(QStringLiteral("miView"), QString::fromLatin1(tools[i]), int(scheme) == i);
    if (store)
        SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Colours", std::to_string(int(scheme)));
}
void MDIForm1::CmdColoursSystem() { SetColours(ColourScheme::System, true); }
void MDIForm1::CmdColoursDark() { SetColours(ColourScheme::Dark, true); }
void MDIForm1::CmdColoursHighContrast() { SetColours(ColourScheme::HighContrast, true); }

void MDIForm1::ReadSettings() {
    state_.ModelCode =
        ModelCodeFromSetting(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Model"));
    state_.Language =
        LanguageFromSetting(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, "Language"));
}

void MDIForm1::StoreSettings() {
    // rm427 --demo: this run's settings file goes with the run.
    if (demoPort_ > 0) return;
    SetKeyValues(RegRoot::LocalMachine, kProgramKeyPath,
                 {{"Model", std::to_string(state_.Image[kModelByte])},
                  {"language", std::to_string(state_.Language)}});
}

void MDIForm1::ApplyLanguage() {
    for (const MenuCaption& c : MainMenuCaptions())
        bar_->SetCaption(QString::fromLatin1(c.band), QString::fromLatin1(c.tool),
                         QString::fromStdString(LoadText(state_.Language, c.text)));
    ApplyChannelFileCaptions();
    RefreshUndoCaptions();
    ApplyHistoryCaption();
    ApplyFleetCaption();
    qtTexts_->Apply(state_.Language);
    if (demoPort_ > 0) ShowDemoPanel(demoPort_);
    bar_->SetToolCheck(QStringLiteral("miLanguage"), QStringLiteral("miEnglish"), state_.Language == 0);
    bar_->SetToolCheck(QStringLiteral("miLanguage"), QStringLiteral("miChinese"), state_.Language == 1);
    RefreshPortPanel();
    UpdateClock();
}

void MDIForm1::RefreshPortPanel() {
    panelPort_->setText(QStringLiteral("COM") + QString::number(state_.ComPort));
}

void MDIForm1::RefreshTitle() { setWindowTitle(QString::fromStdString(state_.TitleText())); }

void MDIForm1::UpdateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    // The date and time as the interface's language writes them.
    const QLocale locale = state_.Language == 1 ? QLocale(QLocale::Chinese, QLocale::China) : QLocale();
    panelDate_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    panelTime_->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void MDIForm1::RefreshChannel() {
    if (channels_) channels_->RefreshChannel();
}
void MDIForm1::SaveCHData() {
    if (channels_) channels_->SaveCHData();
}
void MDIForm1::TransferFocus() {
    if (channels_) channels_->TransferFocus();
}

void MDIForm1::Dispatch(const QString& tool) {
    TransferFocus();
    // File menu: the recent files, miRecent1 (newest) to miRecent8.
    if (tool.startsWith(QLatin1String("miRecent"))) {
        bool number = false;
        const int n = tool.mid(8).toInt(&number);
        if (number && n >= 1 && n <= kRecentFiles) {
            SaveCHData();
            OpenRecent(n);
            return;
        }
    }
    const auto it = commands_.find(tool);
    if (it == commands_.end()) {
        // Any name the table does not know closes the program, like Exit.
        CmdExit();
        return;
    }
    if (it->second.store) SaveCHData();
    // The commands that change the codeplug as a whole are undo steps.
    static const std::map<QString, int> steps = {
        {QStringLiteral("miNew"), 3416},
        {QStringLiteral("miRead"), 3417},
        {QStringLiteral("miFunctionSet"), 3413},
        {QStringLiteral("miModel"), 3415},
        {QStringLiteral("miImportChannels"), 3412},
    };
    const auto action = it->second.action;
    const auto step = steps.find(tool);
    if (step != steps.end() && history_)
        history_->Step(step->second, [this, action] { (this->*action)(); });
    else (this->*action)();
}

void MDIForm1::CmdUndo() { history_->Undo(); }
void MDIForm1::CmdRedo() { history_->Redo(); }

void MDIForm1::RefreshUndoCaptions() {
    if (!bar_ || !history_) return;
    const int lang = state_.Language;
    struct Entry {
        const char* tool;
        int name, withName, plain, button;
    };
    const Entry entries[] = {{"miUndo", history_->UndoName(), 3401, 3403, 3405},
                             {"miRedo", history_->RedoName(), 3402, 3404, 3406}};
    for (const Entry& e : entries) {
        const QString tool = QString::fromLatin1(e.tool);
        const QString name = QString::fromStdString(LoadText(lang, e.name));
        const QString menu = e.name ? QString::fromStdString(LoadText(lang, e.withName)).arg(name)
                                    : QString::fromStdString(LoadText(lang, e.plain));
        bar_->SetCaption(QStringLiteral("miEdit"), tool, menu);
        bar_->SetCaption(QStringLiteral("tlbAction"), tool,
                         QString::fromStdString(LoadText(lang, e.button)));
        for (const QString& band : {QStringLiteral("miEdit"), QStringLiteral("tlbAction")}) {
            if (QAction* a = bar_->Tool(band, tool)) {
                a->setEnabled(e.name != 0);
                if (band == QLatin1String("tlbAction"))
                    a->setToolTip(QString(menu).remove(QLatin1Char('&')));
            }
        }
    }
}

bool MDIForm1::Hooked(const QString& window) { return windowHook && windowHook(window); }

void MDIForm1::CmdNew() { fileCommands_->New(); }
// An opened file starts a new history.
void MDIForm1::CmdOpen() {
    if (fileCommands_->Open()) history_->Clear();
}
void MDIForm1::CmdSave() { fileCommands_->Save(); }
void MDIForm1::CmdSaveAs() { fileCommands_->SaveAs(); }
// The channel list and the function settings (ChannelPrint.cpp).
void MDIForm1::CmdPrint() {
    if (Hooked(QStringLiteral("frmPrint"))) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("frmPrint"));
    if (dialog.exec() == QDialog::Accepted) PrintChannelList(state_, printer);
}

void MDIForm1::CmdPrintPreview() {
    if (Hooked(QStringLiteral("frmPreview"))) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("frmPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PrintChannelList(state_, *p); });
    preview.exec();
}

void MDIForm1::CmdRead() {
    state_.CloneDirection = 0;
    OpenClone();
}

void MDIForm1::CmdWrite() {
    state_.CloneDirection = 1;
    OpenClone();
}

void MDIForm1::SwitchLanguage(int language) {
    state_.Language = static_cast<std::uint8_t>(language);
    bar_->SetToolCheck(QStringLiteral("miLanguage"), QStringLiteral("miChinese"), language == 1);
    bar_->SetToolCheck(QStringLiteral("miLanguage"), QStringLiteral("miEnglish"), language == 0);
    ApplyLanguage();
    RefreshChannel();
    if (bar_->ToolCheck(QStringLiteral("miProgram"), QStringLiteral("miFunctionSet"))) RefreshSetFace();
    // The open batch editor too: its captions are what a screen reader reads.
    if (auto* batch = mdi_->findChild<FrmBatch*>()) batch->RefreshBatchFace();
    for (QWidget* w : QApplication::topLevelWidgets()) LinkCaptions(w);
}

void MDIForm1::CmdChinese() { SwitchLanguage(1); }
void MDIForm1::CmdEnglish() { SwitchLanguage(0); }
void MDIForm1::CmdCommunicationPort() { OpenComPort(); }
void MDIForm1::CmdFunctionSet() { OpenFunctionSet(); }
void MDIForm1::CmdBatchEdit() { ToggleBatchEdit(); }

void MDIForm1::CmdChannelInformation() {
    const QString band = QStringLiteral("miProgram"), tool = QStringLiteral("miCH-Information");
    const bool shown = bar_->ToolCheck(band, tool);
    if (channelsWindow_) {
        if (shown) {
            channelsWindow_->hide();
        } else {
            channelsWindow_->show();
            channelsWindow_->raise();
        }
    }
    bar_->SetToolCheck(band, tool, !shown);
}

void MDIForm1::CmdModel() {
    if (Hooked(QStringLiteral("frmModel"))) return;
    frmModel model(*this, this);
    model.exec();
}

void MDIForm1::CmdTestMode() { OpenTestMode(); }

void MDIForm1::CmdAbout() {
    if (Hooked(QStringLiteral("frmAbout"))) return;
    frmAbout about(state_, this);
    about.exec();
}

void MDIForm1::CmdExit() { close(); }

void MDIForm1::ToggleTestModeEntry() {
    const QString band = QStringLiteral("miSetup");
    const bool show = !bar_->ToolVisible(band, QStringLiteral("miTestMode"));
    bar_->SetToolVisible(band, QStringLiteral("miTestMode"), show);
    bar_->SetToolVisible(band, QStringLiteral("miSeparator"), show);
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == msBar_ ||
         (watched->isWidgetType() && static_cast<QWidget*>(watched)->parentWidget() == msBar_))) {
        auto* me = static_cast<QMouseEvent*>(event);
        const auto mods = me->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (me->button() == Qt::LeftButton && mods == (Qt::ControlModifier | Qt::AltModifier)) {
            ToggleTestModeEntry();
            return true;  // a press on a panel must not reach the bar a second time
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The channel editor is designed a little narrower than the main window;
    // with this toolkit's frames it may not be. Widen the main window as far
    // as the screen allows, then keep the editor's close box in view.
    if (channelsWindow_ && !shownOnce_) {
        shownOnce_ = true;
        // The child window's frame and title bar come on top of the editor's size.
        channelsWindow_->layout()->activate();
        const QSize frame = channelsWindow_->size() - channels_->size();
        channelsWindow_->resize(channelsSize_ + frame);
        const int missing = channelsWindow_->width() - mdi_->viewport()->width();
        if (missing > 0) {
            const QScreen* s = screen();
            const int room = s ? s->availableGeometry().width() - width() : 0;
            resize(width() + std::min(missing, std::max(0, room)), height());
        }
        QTimer::singleShot(0, this, [this] {
            const int area = mdi_->viewport()->width();
            if (channelsWindow_->width() > area)
                channelsWindow_->resize(area, channelsWindow_->height());
        });
    }
}

// A maximised child window adds " - [its caption]" to the main window's
// caption; the caption stays the program's own.
void MDIForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowTitleChange || !mdi_) return;
    const QString title = windowTitle();
    for (const QMdiSubWindow* sub : mdi_->subWindowList()) {
        const QString added = QStringLiteral(" - [%1]").arg(sub->windowTitle());
        if (title.endsWith(added)) {
            setWindowTitle(title.chopped(added.size()));
            return;
        }
    }
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    // Pending grid edits count as changes too.
    TransferFocus();
    SaveCHData();
    // Cancel, or a cancelled or failed save, keeps the program open.
    if (!fileCommands_->AskToSave()) {
        event->ignore();
        return;
    }
    StoreSettings();
    closing_ = true;
    if (channels_) channels_->Release();
    event->accept();
}

}  // namespace rm427::gui
