// Answers the workbench's questions in tests and records what it showed.
#pragma once

#include "UserPrompts.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace korvid::qt::testing {

class FakePrompts : public UserPrompts {
public:
    struct ShownMessage {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    // Every message is answered "OK"; the first queued file is chosen to open;
    // no file to save.
    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        messages.push_back({icon, caption, text, buttons, defaultButton});
        return QMessageBox::Ok;
    }
    QString OpenFileName(QWidget*, const QString&) override {
        if (openFiles.empty()) {
            return {};
        }
        const QString file = openFiles.front();
        openFiles.pop_front();
        return file;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    // Each dialog is handed to the next queued answer; without one it is accepted.
    int Run(QDialog& dialog) override {
        ranDialogs.push_back(dialog.objectName());
        if (dialogs.empty()) {
            dialog.accept();
            return QDialog::Accepted;
        }
        const auto answer = dialogs.front();
        dialogs.pop_front();
        return answer(dialog);
    }

    std::vector<ShownMessage> messages;
    std::deque<QString> openFiles;
    std::deque<std::function<int(QDialog&)>> dialogs;
    std::vector<QString> ranDialogs;
};

// One QApplication for the whole test program, with settings in a folder of
// this process's own (test programs run side by side); both go when the tests end.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "workbench_test";
    char* argv_[2] = {name_, nullptr};
    QTemporaryDir settings_;
    std::unique_ptr<QApplication> application_;
};

inline void EnsureApplication() {
    static ::testing::Environment* const environment = [] {
        auto* created = new ApplicationEnvironment;
        created->SetUp();
        return ::testing::AddGlobalTestEnvironment(created);
    }();
    (void)environment;
}

// The control whose objectName carries its template id ("id1046"); a test failure
// when the dialog has none.
template <typename W>
W* FindControl(QWidget& dialog, int id) {
    W* widget = dialog.findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

}  // namespace korvid::qt::testing
