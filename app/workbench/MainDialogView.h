// What the workbench asks of a front end: show its state, ask the user, choose a
// file, run one of the smaller dialogs, show the re-flash progress. The Qt and the
// Win32 front end each implement it; tests implement it with a recording view.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvid::workbench {

struct MainDialogState;
class AreaDialog;
class MaxCountDialog;
class ReflashProgress;

enum class MessageIcon { None, Error, Warning, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// A modal message box; every text in the display language, UTF-8.
struct Message {
    MessageIcon icon = MessageIcon::Error;
    std::string caption;  // the library's display name
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
    bool operator==(const Message&) const = default;
};

// The answer of a message box closed without one of its buttons (Escape, the
// close box): the safe one, "No" to a question and "Cancel" otherwise.
inline MessageAnswer DismissedAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}

// One entry of a file dialog's filter list: "Intel Hex/Binary" with "*.hex", ...
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
    bool operator==(const FileFilter&) const = default;
};

class MainDialogView {
public:
    virtual ~MainDialogView() = default;

    // Shows state: every control's text, items, selection, check mark and whether
    // it is enabled. Called after every change; a view may skip what is unchanged.
    virtual void Render(const MainDialogState& state) = 0;
    // Returns the button that ended the box.
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    // The file-open dialog; the chosen path (UTF-8), or empty when cancelled.
    virtual std::string ChooseFileToOpen(const std::vector<FileFilter>& filters) = 0;
    // The file-save dialog, asking before an existing file is replaced; the chosen
    // path with defaultExtension added when it has none, or empty when cancelled.
    virtual std::string ChooseFileToSave(const std::vector<FileFilter>& filters,
                                         std::string_view defaultExtension) = 0;
    // Run the smaller dialogs modally over their models; true when ended with OK.
    virtual bool RunAreaDialog(AreaDialog& dialog) = 0;
    virtual bool RunMaxCountDialog(MaxCountDialog& dialog) = 0;
    // The About box with its one text ("%s v%X.%02X").
    virtual void RunAboutDialog(std::string_view versionText) = 0;
    // Shows the re-flash progress modally until progress says it has finished.
    virtual void RunProgressDialog(ReflashProgress& progress) = 0;
};

}  // namespace korvid::workbench
