// The batch channel editor ("Batch ChannelEdit"): fills a range of channels
// at once. A non-modal child window of the main window; it changes the
// channels through the channel editor, which writes them into the image.
#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "channels/ChannelRowOps.h"
#include "image/Dialogs.h"
#include "image/Module1.h"
#include "settings/BatchFill.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rm427::gui {

class FrmBatch : public QWidget {
    Q_OBJECT
public:
    // Runs `edit` on the channels (the channel editor writes them into the
    // image and shows them in its grid).
    using ChannelsEditor = std::function<void(const std::function<void(ChannelList&)>& edit)>;

    FrmBatch(Module1& state, MessageBoxes& boxes, ChannelsEditor channels, QWidget* parent = nullptr);

    // Captions and list texts in the current language; selections stay.
    void RefreshBatchFace();
    // Apply: validates the fields as Enter would, then fills the range.
    void ApplyBatch();
    // What the fields hold now, as the core sees it.
    BatchInputs Inputs() const;
    int FromChannel() const { return fromChannel_; }
    int ToChannel() const { return toChannel_; }

    QRadioButton* OptBatch1(int i) const { return optBatch1_[i]; }
    QRadioButton* OptBatch2A(int i) const { return optBatch2A_[i]; }
    QRadioButton* OptBatch3(int i) const { return optBatch3_[i]; }
    QRadioButton* OptBatch3A(int i) const { return optBatch3A_[i]; }
    QRadioButton* OptBatch3B(int i) const { return optBatch3B_[i]; }
    QRadioButton* OptBatch4A(int i) const { return optBatch4A_[i]; }
    QRadioButton* OptBatch5(int i) const { return optBatch5_[i]; }
    QRadioButton* OptBatch5A(int i) const { return optBatch5A_[i]; }
    QLineEdit* TxtBatch0(int i) const { return txtBatch0_[i]; }  // 0 From, 1 To
    QLineEdit* TxtBatch1(int i) const { return txtBatch1_[i]; }  // 1 rx, 2 offset, 3 tx
    QLineEdit* TxtBatch2(int i) const { return txtBatch2_[i]; }  // 1 rx step, 2 tx step
    QLineEdit* TxtBatch3(int i) const { return txtBatch3_[i]; }  // 1 decode, 2 encode interval
    QLineEdit* TxtBatch7() const { return txtBatch7_; }
    QComboBox* CboBatch(int i) const { return cboBatch_[i]; }
    QComboBox* CboBatch6(int i) const { return cboBatch6_[i]; }
    QCheckBox* ChkBatch4() const { return chkBatch4_; }
    QCheckBox* ChkBatch5() const { return chkBatch5_; }
    QPushButton* Command1(int i) const { return command1_[i]; }

signals:
    // The window was closed, by its Close button or any other way.
    void Unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Field { Range, Freq, Step, Interval, Name };
    void Build();
    void Load();
    void Watch(QLineEdit* edit, Field kind);
    bool FieldKey(QLineEdit* edit, Field kind, QKeyEvent* ke);
    static std::function<QChar(QChar)> FieldChars(Field kind);
    void FieldChanged(QLineEdit* edit, Field kind);
    void Validate(QLineEdit* edit);
    void UpdateRange();
    void RangeOptionRule();
    void TxOptionRule();
    void EncodeOptionRule();
    void RandomRules();
    void SetText(QLineEdit* edit, const QString& text);
    QLabel* Label(const char* name);

    Module1& state_;
    MessageBoxes& boxes_;
    ChannelsEditor channels_;
    std::vector<std::string> tones_;  // the tone list copy of load time
    BatchRandom random_;
    int fromChannel_ = 1, toChannel_ = 128;

    QWidget* picture1_ = nullptr;
    QRadioButton* optBatch1_[2] = {};
    QRadioButton* optBatch2A_[2] = {};
    QRadioButton* optBatch3_[3] = {};
    QRadioButton* optBatch3A_[2] = {};
    QRadioButton* optBatch3B_[2] = {};
    QRadioButton* optBatch4A_[2] = {};
    QRadioButton* optBatch5_[2] = {};
    QRadioButton* optBatch5A_[2] = {};
    QLineEdit* txtBatch0_[2] = {};
    QLineEdit* txtBatch1_[4] = {};
    QLineEdit* txtBatch2_[3] = {};
    QLineEdit* txtBatch3_[3] = {};
    QLineEdit* txtBatch7_ = nullptr;
    QComboBox* cboBatch_[2] = {};
    QComboBox* cboBatch6_[9] = {};
    QLabel* lblBatch6_[9] = {};
    QCheckBox* chkBatch4_ = nullptr;
    QCheckBox* chkBatch5_ = nullptr;
    QPushButton* command1_[2] = {};
    QLabel* lblBatch1_[2] = {};
    QLabel* lblBatch2_[3] = {};
    QLabel* lblBatch3_[4] = {};
    QLabel* lblBatch4_[3] = {};
    QLabel* lblBatch5_[3] = {};
    QLabel* lblBatch7_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    std::map<QObject*, Field> fields_;
};

}  // namespace rm427::gui
