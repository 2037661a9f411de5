// The print preview: an empty window (printing is not part of the program).
#pragma once

#include <QDialog>

#include "image/Module1.h"

namespace rm427::gui {

class frmPreview : public QDialog {
    Q_OBJECT
public:
    explicit frmPreview(const Module1& state, QWidget* parent = nullptr);
};

}  // namespace rm427::gui
