// The test and tuning window: read one of the radio's tuning values, adjust
// it live with the slider (every change goes to the radio at once) and store
// it, or leave without storing. Modal; the main window opens it with exec().
#pragma once

#include <QDialog>
#include <memory>

#include "image/Dialogs.h"
#include "image/Module1.h"
#include "radio/PortPaths.h"
#include "radio/TestMode.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace rm427 {

class QtSerialPort;
class QtTimerFactory;

class frmTestMode : public QDialog {
    Q_OBJECT

public:
    // lookup: the settings store's port path overrides (empty: the built-in
    // table). boxes: where the port error goes (null: a QMessageBox).
    explicit frmTestMode(Module1& state, QWidget* parent = nullptr, PortPathLookup lookup = {},
                         MessageBoxes* boxes = nullptr);
    ~frmTestMode() override;

    // Sets every caption again from the text table (language change).
    void RefreshTexts();

    const TestModeExchange& Exchange() const { return *exchange_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void OnNodeSelected(QTreeWidgetItem* node);
    void OnVariantChanged();
    void OnSliderValue(int value);
    void OnFirstButton();
    void OnSecondButton();
    void OnEnded(TestModeState state);
    void CommitText();
    void ShowState();
    int TextValue() const;
    TuningParam CurrentParam() const;
    QString Text(int n) const;

    Module1& state_;
    MessageBoxes* boxes_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<QtTimerFactory> timers_;
    std::unique_ptr<TestModeExchange> exchange_;
    int item_ = 1;

    QSplitter* splitter_ = nullptr;
    QTreeWidget* TreeTest_ = nullptr;
    QTreeWidgetItem* root_ = nullptr;
    QTreeWidgetItem* nodes_[kTuningItems] = {};
    QGroupBox* fraValue_ = nullptr;
    QGroupBox* fraFreq_ = nullptr;
    QGroupBox* fraWidth_ = nullptr;
    QRadioButton* Optdev1_[2] = {};
    QRadioButton* Optdev2_[2] = {};
    QSlider* SldDev_ = nullptr;
    QSpinBox* UdDev_ = nullptr;
    QLineEdit* TxtDev_ = nullptr;
    QLabel* lblMin_ = nullptr;
    QLabel* lblMax_ = nullptr;
    QLabel* lblData_ = nullptr;
    QPushButton* CmdDev_[2] = {};
};

}  // namespace rm427
