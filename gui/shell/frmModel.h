// The model window: model (VHF/UHF) and band. A change of model starts a new,
// empty codeplug carrying the new code.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace rm427::gui {

class MDIForm1;

class frmModel : public QDialog {
    Q_OBJECT
public:
    explicit frmModel(MDIForm1& main, QWidget* parent = nullptr);

    // CboModel(0) the model list, CboModel(1) the band list;
    // CmdModel(0) OK, CmdModel(1) Cancel.
    QComboBox* CboModel(int index) const { return cbo_[index]; }
    QPushButton* Cmd(int index) const { return cmd_[index]; }
    int OldCode() const { return oldCode_; }

private:
    void FillBands(bool uhf);
    void Ok();

    MDIForm1& main_;
    QComboBox* cbo_[2] = {};
    QPushButton* cmd_[2] = {};
    QLabel* lbl_[2] = {};
    int oldCode_ = 0;
};

}  // namespace rm427::gui
