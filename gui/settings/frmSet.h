// The function settings window ("Optional Features"): the radio-wide options
// of the settings row. Modal; it reads the row when it opens and writes it
// back only on OK.
#pragma once

#include <QDialog>

#include "image/Module1.h"
#include "settings/SettingsRow.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace rm427::gui {

class frmSet : public QDialog {
    Q_OBJECT
public:
    explicit frmSet(Module1& state, QWidget* parent = nullptr);

    // Every caption and list text in the current language; selections stay.
    void RefreshSetFace();
    // Controls <- settings row of the image.
    void ShowSettings();
    // Controls -> settings row of the image.
    void StoreSettings();
    // What the controls hold now, as the core sees it.
    SettingsSelections Selections() const;

    QComboBox* CboSet(int i) const { return cboSet_[i]; }
    QLabel* LblSet(int i) const { return lblSet_[i]; }
    QCheckBox* ChkSet1() const { return chkSet1_; }
    QGroupBox* Frame2() const { return frame2_; }
    QComboBox* Combo1() const { return combo1_; }
    QLabel* Label2() const { return label2_; }
    QLineEdit* Text1() const { return text1_; }
    QPushButton* Command1(int i) const { return command1_[i]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Module1& state_;
    QWidget* picture1_ = nullptr;
    QComboBox* cboSet_[kSettingsLists] = {};
    QLabel* lblSet_[12] = {};
    QCheckBox* chkSet1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPushButton* command1_[2] = {};
};

}  // namespace rm427::gui
