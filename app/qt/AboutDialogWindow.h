// "About" (template 100): the icon, the library's name and version, and OK.
#pragma once

#include <QDialog>

namespace korvid::qt {

class AboutDialogWindow : public QDialog {
    Q_OBJECT

public:
    // okText is the OK button's text in the display language.
    AboutDialogWindow(const QString& versionText, const QString& okText, QWidget* parent = nullptr);
};

}  // namespace korvid::qt
