// "Set Max Count & Serial Number": before a job is downloaded into the programmer,
// the number of targets it may program (at most 65530) and the optional serial
// number block written into each target's image. The rules of the dialog; a front
// end shows State() and forwards edits, clicks and OK.
#pragma once

#include "MainDialogView.h"
#include "display_language.h"
#include "korvid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvid::workbench {

class MaxCountDialog {
public:
    static constexpr int kHexDigits = 8;  // the number and start address fields

    struct Texts {
        std::string title, maxCountLabel, enableSerial, serialTextLabel, numberLabel;
        std::string autoIncrement, startLabel, endLabel, ok, exit;
        bool operator==(const Texts&) const = default;
    };
    struct State {
        Texts texts;
        std::string maxCount;      // 1051
        bool serialEnabled = false;  // 1055
        std::string serialText;    // 1057, UTF-8
        std::string serialNumber;  // 1064
        bool autoIncrement = false;  // 1058
        std::string startAddress;  // 1065
        std::string endAddress;    // 1061
        bool serialFieldsEnabled = false;  // 1057, 1058, 1064 and 1065
        bool operator==(const State&) const = default;
    };
    // What OK did: the dialog ends, or a message is shown and the count field
    // takes the focus again.
    struct OkOutcome {
        bool accepted = false;
        std::optional<Message> message;
    };

    // flashSize is the selected part's. OK stores the count in sharedMaxCount and
    // the serial settings in job; "Enable Serial Number" sets bit 0 of
    // job.serialFlags as soon as it is clicked, also when the dialog is then left
    // with "Exit". Messages are captioned caption.
    MaxCountDialog(JobRecord& job, uint32_t flashSize, uint16_t& sharedMaxCount, Language language,
                   std::string caption);

    // A count typed above 65530 becomes 65530; a field that holds no number yet
    // (empty, a lone sign) is left to the user.
    void OnMaxCountEdited(std::string_view text);
    void OnEnableSerialClicked(bool checked);
    // The serial text is stored in code page 936: at most 12 bytes of it. False
    // (and the text unchanged) for a longer one.
    bool OnSerialTextEdited(std::string_view text);
    static bool SerialTextFits(std::string_view text);
    void OnSerialNumberEdited(std::string_view text) { serialNumber_ = text; }
    void OnAutoIncrementClicked(bool checked) { autoIncrement_ = checked; }
    // A start address above flash size - 16 is set back to it: true then, and the
    // front end sounds the error beep.
    bool OnStartAddressEdited(std::string_view text);
    OkOutcome OnOk();

    State Present() const;

private:
    std::optional<int64_t> MaxCountValue() const;
    Message ErrorMessage(const char* text) const;

    JobRecord& job_;
    uint32_t flashSize_;
    uint32_t highestStartAddress_;
    uint16_t& sharedMaxCount_;
    Language language_;
    std::string caption_;

    std::string maxCount_ = "0";
    bool serialEnabled_ = false;
    std::string serialText_;
    std::string serialNumber_;
    bool autoIncrement_ = false;
    std::string startAddress_;
};

}  // namespace korvid::workbench
