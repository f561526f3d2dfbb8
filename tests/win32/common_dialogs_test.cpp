// How the workbench's messages and file filters become the system's message
// boxes and file dialogs.
#include "FileDialogs.h"
#include "MessageBoxes.h"

#include <gtest/gtest.h>

namespace korvid::win32 {
namespace {

using workbench::Message;
using workbench::MessageAnswer;
using workbench::MessageButtons;
using workbench::MessageIcon;

TEST(MessageBoxStyle, EachKindOfMessageHasItsIconButtonsAndDefault) {
    const auto style = [](MessageIcon icon, MessageButtons buttons, MessageAnswer answer) {
        return MessageBoxStyle(Message{icon, "caption", "text", buttons, answer});
    };
    // A failure; "Update success !" without icon.
    EXPECT_EQ(style(MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok),
              UINT(MB_APPLMODAL | MB_ICONERROR | MB_OK));
    EXPECT_EQ(style(MessageIcon::None, MessageButtons::Ok, MessageAnswer::Ok),
              UINT(MB_APPLMODAL | MB_OK));
    // The firmware question: Yes and No, Yes the default.
    EXPECT_EQ(style(MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes),
              UINT(MB_APPLMODAL | MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1));
    // The file-size question: OK and Cancel, Cancel the default.
    EXPECT_EQ(style(MessageIcon::Warning, MessageButtons::OkCancel, MessageAnswer::Cancel),
              UINT(MB_APPLMODAL | MB_ICONWARNING | MB_OKCANCEL | MB_DEFBUTTON2));
}

TEST(FileFilterList, DescriptionShowsItsPatternsAndEachEntryEndsWithNul) {
    const std::wstring list = FilterList({{"Intel Hex/Binary", {"*.hex", "*.ihx", "*.bin"}},
                                          {"Vostrel project file", {"*.kpj"}},
                                          {"All files", {"*"}}});
    using namespace std::string_literals;
    EXPECT_EQ(list,
              L"Intel Hex/Binary (*.hex;*.ihx;*.bin)\0*.hex;*.ihx;*.bin\0"
              L"Vostrel project file (*.kpj)\0*.kpj\0All files (*)\0*\0\0"s);
}

}  // namespace
}  // namespace korvid::win32
