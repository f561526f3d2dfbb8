#include "MessageBoxes.h"

#include "wide_text.h"

namespace korvid::win32 {

using workbench::MessageAnswer;
using workbench::MessageButtons;
using workbench::MessageIcon;

UINT MessageBoxStyle(const workbench::Message& message) {
    UINT style = MB_APPLMODAL;
    switch (message.icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Error:
            style |= MB_ICONERROR;
            break;
        case MessageIcon::Warning:
            style |= MB_ICONWARNING;
            break;
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
    }
    switch (message.buttons) {
        case MessageButtons::Ok:
            style |= MB_OK;
            break;
        case MessageButtons::OkCancel:
            style |= MB_OKCANCEL;
            if (message.defaultAnswer == MessageAnswer::Cancel) {
                style |= MB_DEFBUTTON2;
            }
            break;
        case MessageButtons::YesNo:
            style |= MB_YESNO;
            if (message.defaultAnswer == MessageAnswer::No) {
                style |= MB_DEFBUTTON2;
            }
            break;
    }
    return style;
}

MessageAnswer ShowMessageBox(HWND owner, const workbench::Message& message) {
    const std::wstring text = core::WideFromUtf8(message.text);
    const std::wstring caption = core::WideFromUtf8(message.caption);
    switch (MessageBoxW(owner, text.c_str(), caption.c_str(), MessageBoxStyle(message))) {
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        case IDOK:
            return MessageAnswer::Ok;
        default:  // Cancel, Escape, the close box, or no box at all
            return workbench::DismissedAnswer(message.buttons);
    }
}

}  // namespace korvid::win32
