// The about box: name, version, release date and rights notice.
#pragma once

#include <QDialog>

#include "image/Module1.h"

namespace rm427::gui {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const Module1& state, QWidget* parent = nullptr);
};

}  // namespace rm427::gui
