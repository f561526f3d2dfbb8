// The Qt main dialog over the workbench model, against the real library's
// catalogue and project files, with a fake user, a fake programmer and the real
// settings store in a test location emptied for every test.
#pragma once

#include "CHexEditBase.h"
#include "MainDialogWindow.h"
#include "QtSettingsStore.h"
#include "fake_programmer.h"
#include "fake_prompts.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace korvid::qt::testing {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    void SetUp() override {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Sortware", "Vostrel").clear();
        ASSERT_TRUE(dir_.isValid());
    }

    MainDialogWindow& Window(std::optional<std::string_view> language = std::nullopt) {
        if (!window_) {
            workbench::Catalogue catalogue = workbench::LibraryCatalogue();
            settings_ =
                std::make_unique<QtSettingsStore>(catalogue.libraryName, catalogue.version);
            window_ = std::make_unique<MainDialogWindow>(prompts_, programmer_, *settings_,
                                                         std::move(catalogue), language);
        }
        return *window_;
    }

    template <typename W>
    W* Find(int id) {
        return FindControl<W>(Window(), id);
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Queues one "Load" answered in the area dialog's own controls: the data
    // address typed (the code area when empty), then the file.
    void QueueLoad(const QString& path, const QString& dataAddress = QString()) {
        prompts_.dialogs.push_back([dataAddress](QDialog& dialog) {
            if (!dataAddress.isEmpty()) {
                dialog.findChild<QRadioButton*>("id1043")->click();
                auto* field = dialog.findChild<QLineEdit*>("id1044");
                field->selectAll();
                QTest::keyClicks(field, dataAddress);
            }
            dialog.findChild<QPushButton*>("id1")->click();
            return dialog.result();
        });
        prompts_.openFiles.push_back(path);
    }

    std::vector<uint8_t> Image() {
        CHexEditBase& hex = Window().HexEdit();
        std::vector<uint8_t> image(hex.GetDataSize());
        hex.GetData(image.data(), static_cast<uint32_t>(image.size()));
        return image;
    }

    FakePrompts prompts_;
    workbench::testing::FakeProgrammer programmer_;
    QTemporaryDir dir_;
    std::unique_ptr<QtSettingsStore> settings_;
    std::unique_ptr<MainDialogWindow> window_;
};

}  // namespace korvid::qt::testing
