#include "MaxCountDialog.h"

#include "TextTable.h"
#include "cp936_text.h"
#include "hex_digit.h"
#include "hex_text.h"
#include "serial_settings.h"

#include <cctype>
#include <cstdio>

namespace korvid::workbench {
namespace {

// Blanks, an optional sign, digits, blanks: a whole number and nothing else.
bool IsWholeNumber(std::string_view text) {
    std::size_t i = 0;
    const auto blanks = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
    };
    blanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t digits = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    if (i == digits) {
        return false;
    }
    blanks();
    return i == text.size();
}

}  // namespace

MaxCountDialog::MaxCountDialog(JobRecord& job, uint32_t flashSize, uint16_t& sharedMaxCount,
                               Language language, std::string caption)
    : job_(job),
      flashSize_(flashSize),
      highestStartAddress_(core::HighestSerialAddress(flashSize)),
      sharedMaxCount_(sharedMaxCount),
      language_(language),
      caption_(std::move(caption)),
      serialNumber_(core::HexText(0, kHexDigits)),
      startAddress_(core::HexText(highestStartAddress_, kHexDigits)) {
    OnEnableSerialClicked(false);
}

std::optional<int64_t> MaxCountDialog::MaxCountValue() const {
    if (!IsWholeNumber(maxCount_)) {
        return std::nullopt;
    }
    return core::DecimalFieldValue(maxCount_);
}

void MaxCountDialog::OnMaxCountEdited(std::string_view text) {
    maxCount_ = text;
    const std::optional<int64_t> count = MaxCountValue();
    if (count && *count > core::kMaxCountLimit) {
        maxCount_ = std::to_string(core::kMaxCountLimit);
    }
}

void MaxCountDialog::OnEnableSerialClicked(bool checked) {
    serialEnabled_ = checked;
    job_.serialFlags = checked ? (job_.serialFlags | 1u) : (job_.serialFlags & ~1u);
}

bool MaxCountDialog::SerialTextFits(std::string_view text) {
    return core::Utf8ToCp936(text).size() <= KORVID_SERIAL_TEXT_SIZE;
}

bool MaxCountDialog::OnSerialTextEdited(std::string_view text) {
    if (!SerialTextFits(text)) {
        return false;
    }
    serialText_ = text;
    return true;
}

bool MaxCountDialog::OnStartAddressEdited(std::string_view text) {
    const uint32_t address = ScanHex(text).value_or(0);
    if (address > highestStartAddress_) {
        startAddress_ = core::HexText(highestStartAddress_, kHexDigits);
        return true;
    }
    startAddress_ = text;
    return false;
}

Message MaxCountDialog::ErrorMessage(const char* text) const {
    return {MessageIcon::Error, caption_, text, MessageButtons::Ok, MessageAnswer::Ok};
}

MaxCountDialog::OkOutcome MaxCountDialog::OnOk() {
    const std::optional<int64_t> count = MaxCountValue();
    if (!count) {
        return {false, ErrorMessage(PairText(TextTable::enterInteger, language_))};
    }
    core::SerialSettings settings;
    settings.maxCount = *count;
    settings.serialEnabled = serialEnabled_;
    settings.autoIncrement = autoIncrement_;
    settings.serialText = core::Utf8ToCp936(serialText_);
    settings.serialNumber = ScanHex(serialNumber_).value_or(0);
    settings.serialAddress = ScanHex(startAddress_).value_or(0);
    if (core::CheckSerialSettings(settings, flashSize_) != core::SerialProblem::None) {
        // The text and the address cannot be entered out of range: it is the count.
        return {false, ErrorMessage(PairText(TextTable::maxValueIs65530, language_))};
    }
    sharedMaxCount_ = static_cast<uint16_t>(*count);
    core::ApplySerialSettings(settings, job_);
    return {true, std::nullopt};
}

MaxCountDialog::State MaxCountDialog::Present() const {
    const auto shown = [this](const core::TextPair& pair) { return PairText(pair, language_); };
    State s;
    s.texts = {shown(TextTable::setMaxCountTitle), shown(TextTable::maxCountLabel),
               shown(TextTable::enableSerialNumber), shown(TextTable::serialString),
               shown(TextTable::serialNumberLabel), shown(TextTable::autoIncrementNumber),
               shown(TextTable::startAddress), shown(TextTable::endAddress),
               shown(TextTable::ok), shown(TextTable::maxCountExit)};
    s.maxCount = maxCount_;
    s.serialEnabled = serialEnabled_;
    s.serialText = serialText_;
    s.serialNumber = serialNumber_;
    s.autoIncrement = autoIncrement_;
    s.startAddress = startAddress_;
    char end[16];
    std::snprintf(end, sizeof end, "0x%08X",
                  ScanHex(startAddress_).value_or(0) + core::kSerialBlockBytes - 1);
    s.endAddress = end;
    s.serialFieldsEnabled = serialEnabled_;
    return s;
}

}  // namespace korvid::workbench
