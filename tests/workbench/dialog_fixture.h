// A MainDialog against the real library's catalogue and project files, with a fake
// user, a fake programmer and an empty settings store for every test.
#pragma once

#include "CHexEditBase.h"
#include "MainDialog.h"
#include "fake_programmer.h"
#include "fake_prompts.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace korvid::workbench::testing {

class MainDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    void SetUp() override {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Sortware", "Vostrel").clear();
        ASSERT_TRUE(dir_.isValid());
    }

    MainDialog& Dialog() {
        if (!dialog_) {
            dialog_ = useLibrary_ ? std::make_unique<MainDialog>(prompts_)
                                  : std::make_unique<MainDialog>(prompts_, programmer_);
        }
        return *dialog_;
    }

    template <typename W>
    W* Find(int id) {
        return testing::FindControl<W>(Dialog(), id);
    }

    static QStringList Items(const QComboBox& list) {
        QStringList items;
        for (int i = 0; i < list.count(); ++i) {
            items << list.itemText(i);
        }
        return items;
    }

    static void StoreSelection(const QVariant& programmer, const QVariant& body) {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Sortware", "Vostrel");
        settings.beginGroup(QString::fromUtf8("Vostrel 8051 ISP(R5) 编程器/7.10"));
        settings.setValue("Programmer", programmer);
        if (body.isValid()) {
            settings.setValue("Body", body);
        }
    }

    // Selects a series and a part as the user would.
    void Choose(const QString& series, const QString& part) {
        QComboBox* seriesList = Find<QComboBox>(1001);
        seriesList->setCurrentIndex(seriesList->findText(series));
        Dialog().OnSeriesChanged();
        QComboBox* partList = Find<QComboBox>(1002);
        partList->setCurrentIndex(partList->findText(part));
        Dialog().OnPartChanged();
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Queues one "Load": the area (data address empty for the code area) and the file.
    void QueueLoad(const QString& path, const QString& dataAddress = QString()) {
        prompts_.dialogs.push_back([dataAddress](QDialog& dialog) {
            if (!dataAddress.isEmpty()) {
                dialog.findChild<QRadioButton*>("id1043")->click();
                dialog.findChild<QLineEdit*>("id1044")->setText(dataAddress);
            }
            dialog.accept();
            return int{QDialog::Accepted};
        });
        prompts_.openFiles.push_back(path);
    }

    std::vector<uint8_t> Image() {
        CHexEditBase& hex = Dialog().HexEdit();
        std::vector<uint8_t> image(hex.GetDataSize());
        hex.GetData(image.data(), static_cast<uint32_t>(image.size()));
        return image;
    }

    bool CodeCommandsEnabled() {
        return Find<QPushButton>(1049)->isEnabled() && Find<QPushButton>(1046)->isEnabled() &&
               Find<QPushButton>(1047)->isEnabled();
    }

    FakePrompts prompts_;
    FakeProgrammer programmer_;
    bool useLibrary_ = false;  // the commands call the library's exports instead
    QTemporaryDir dir_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace korvid::workbench::testing
