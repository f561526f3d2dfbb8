#include "AreaDialog.h"

#include "TextTable.h"
#include "hex_digit.h"
#include "hex_text.h"

#include <algorithm>
#include <cctype>

namespace korvid::workbench {
namespace {

// OK reads at most this many characters of the address field.
constexpr std::size_t kMaxAddressChars = 255;

}  // namespace

AreaDialog::AreaDialog(uint32_t defaultAddress, Language language)
    : defaultAddress_(defaultAddress), language_(language), address_(core::HexText(defaultAddress, 0)) {}

void AreaDialog::OnAddressEdited(std::string_view text) {
    address_.assign(text);
    std::transform(address_.begin(), address_.end(), address_.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
}

uint32_t AreaDialog::OnOk() const {
    if (!dataArea_) {
        return 0;
    }
    return ScanHex(std::string_view(address_).substr(0, kMaxAddressChars)).value_or(defaultAddress_);
}

AreaDialog::State AreaDialog::Present() const {
    return {PairText(TextTable::selectArea, language_), PairText(TextTable::apCode, language_),
            PairText(TextTable::iapData, language_),  PairText(TextTable::addressPrefix, language_),
            dataArea_,                                address_,
            dataArea_};
}

}  // namespace korvid::workbench
