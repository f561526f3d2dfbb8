// The Qt view of the area dialog (template 129): shows the model's state and
// forwards clicks, edits and OK to it.
#pragma once

#include "AreaDialog.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace korvid::qt {

class AreaDialogWindow : public QDialog {
    Q_OBJECT

public:
    AreaDialogWindow(workbench::AreaDialog& model, QWidget* parent = nullptr);

private:
    void Render();

    workbench::AreaDialog& model_;
    QRadioButton* codeArea_;
    QRadioButton* dataArea_;
    QLineEdit* address_;
};

}  // namespace korvid::qt
