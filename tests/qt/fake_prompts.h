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
#include <utility>
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

    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString& caption,
                                        const QString& text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        messages.push_back({icon, caption, text, buttons, defaultButton});
        if (answers.empty()) {
            return QMessageBox::Ok;
        }
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFileName(QWidget*, const QString& filter) override {
        openFilters.push_back(filter);
        if (openFiles.empty()) {
            return {};
        }
        const QString file = openFiles.front();
        openFiles.pop_front();
        return file;
    }
    QString SaveFileName(QWidget*, const QString& filter, const QString& defaultSuffix) override {
        saveDialogs.push_back({filter, defaultSuffix});
        if (saveFiles.empty()) {
            return {};
        }
        const QString file = saveFiles.front();
        saveFiles.pop_front();
        if (duringSave) {
            duringSave();
        }
        return file;
    }
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
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> openFiles;
    std::vector<QString> openFilters;
    std::deque<QString> saveFiles;
    std::vector<std::pair<QString, QString>> saveDialogs;  // filter, default suffix
    std::function<void()> duringSave;                      // runs while the save dialog is up
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
