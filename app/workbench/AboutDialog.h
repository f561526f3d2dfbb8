// "About": the icon and the library's name and version.
#pragma once

#include <QDialog>

namespace korvid::workbench {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(const QString& versionText, QWidget* parent = nullptr);
};

}  // namespace korvid::workbench
