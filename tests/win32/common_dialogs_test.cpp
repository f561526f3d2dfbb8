// How the workbench's messages and file filters become the system's message
// boxes and file dialogs.
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "narrow_paths.h"

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

// Before Windows 10 version 1903 the narrow calls read a path in the system's own
// code page: the program's UTF-8 of a path that is not ASCII would reach another
// file, so such a path is refused there.
TEST(NarrowPaths, AnyPathUnderUtf8OnlyAsciiUnderAnotherCodePage) {
    const std::string chinese = "C:\\工程\\blink.hex";
    EXPECT_TRUE(NarrowCallsTakePath(chinese, CP_UTF8));
    EXPECT_FALSE(NarrowCallsTakePath(chinese, 936));
    EXPECT_FALSE(NarrowCallsTakePath("C:\\caf\xC3\xA9\\blink.hex", 1252));
    EXPECT_TRUE(NarrowCallsTakePath("C:\\work\\blink.hex", 1252));
    EXPECT_EQ(PathRefusedText("C:\\工程\\b.hex", workbench::Language::English),
              "This Windows takes only file names of ASCII characters here (Windows 10 version "
              "1903 and later take any): \"C:\\工程\\b.hex\" !");
}

}  // namespace
}  // namespace korvid::win32
