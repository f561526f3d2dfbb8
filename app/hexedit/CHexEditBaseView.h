// CHexEditBaseView: a container that fills itself with one multi-line
// CHexEditBase (object name "256", the control's child identifier).
#pragma once

#include <QWidget>

#include "CHexEditBase.h"

class CHexEditBaseView : public QWidget {
    Q_OBJECT

public:
    explicit CHexEditBaseView(QWidget* parent = nullptr);

    CHexEditBase& HexEdit() { return *hexEdit_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CHexEditBase* hexEdit_;
};
