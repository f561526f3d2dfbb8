// A shown, focused CHexEditBase in a window beside a line edit, for tests that
// drive the widget with real Qt events under the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <vector>

#include "CHexEditBase.h"
#include "hex_edit_core.h"

namespace korvid::hexedit::testing {

inline const QString kBinaryMime =
    QStringLiteral("application/x-qt-windows-mime;value=\"BinaryData\"");

// One QApplication for the whole program, destroyed after the last test.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "hexedit_widget_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline void EnsureApplication() {
    static ::testing::Environment* const environment = [] {
        auto* created = new QtEnvironment;
        created->SetUp();
        return ::testing::AddGlobalTestEnvironment(created);
    }();
    (void)environment;
}

class HexEditWidget : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    // A shown, focused editor of the workbench's configuration inside a window
    // that also holds a line edit (the next tab stop).
    CHexEditBase& MakeEditor(const std::vector<uint8_t>& bytes, bool multiLine = true) {
        window_ = std::make_unique<QWidget>();
        window_->setAccessibleName(QStringLiteral("test window"));
        auto* layout = new QVBoxLayout(window_.get());
        editor_ = new CHexEditBase(window_.get(), multiLine);
        next_ = new QLineEdit(window_.get());
        next_->setAccessibleName(QStringLiteral("next"));
        layout->addWidget(editor_);
        layout->addWidget(next_);
        editor_->SetShowAddress(true, false);
        editor_->SetShowAscii(true, false);
        editor_->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
        window_->resize(700, 300);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        editor_->setFocus();
        QApplication::processEvents();
        return *editor_;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out(editor_->GetDataSize());
        editor_->GetData(out.data(), static_cast<uint32_t>(out.size()));
        return out;
    }

    // Client point of a hex cell (the address column has 8 digits).
    QPoint Cell(int cell, int row) const {
        const auto& layout = editor_->Core().Viewport().GetLayout();
        return QPoint(
            static_cast<int>(layout.textRect.left + layout.hexXPx + cell * layout.charWidthPx + 1),
            static_cast<int>(layout.textRect.top + row * layout.charHeightPx + 3));
    }

    void Drag(QPoint to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), editor_->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor_, &move);
    }

    static void SetClipboardBlock(const QByteArray& block, const QString& text = {}) {
        auto* mime = new QMimeData;
        if (!block.isNull()) {
            mime->setData(kBinaryMime, block);
        }
        if (!text.isEmpty()) {
            mime->setText(text);
        }
        QGuiApplication::clipboard()->setMimeData(mime);
    }

    std::unique_ptr<QWidget> window_;
    CHexEditBase* editor_ = nullptr;
    QLineEdit* next_ = nullptr;
};

}  // namespace korvid::hexedit::testing
