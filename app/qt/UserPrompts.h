// How the workbench asks the user: message boxes, file dialogs and its own modal
// dialogs go through this interface, so that tests can answer them.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace korvid::qt {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A modal message box; returns the button that ended it.
    virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // The file-open dialog; an empty result means cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& filter) = 0;
    // The file-save dialog, asking before an existing file is replaced; empty: cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // Runs one of the workbench's own dialogs modally; returns its result code.
    virtual int Run(QDialog& dialog) = 0;
};

// The real implementation: QMessageBox, QFileDialog and QDialog::exec.
class QtUserPrompts final : public UserPrompts {
public:
    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString OpenFileName(QWidget* parent, const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& filter,
                         const QString& defaultSuffix) override;
    int Run(QDialog& dialog) override;
};

}  // namespace korvid::qt
