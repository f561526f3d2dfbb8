// "Select AP/IAP area": where the next HEX or binary image goes, the code area at
// address 0 or the data area at a typed hexadecimal address. The rules of the
// dialog; a front end shows State() and forwards clicks, edits and OK.
#pragma once

#include "display_language.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvid::workbench {

class AreaDialog {
public:
    struct State {
        std::string caption, codeArea, dataArea, addressLabel;
        bool dataAreaChosen = false;
        std::string address;  // field 1044, upper case
        bool addressEnabled = false;
        bool operator==(const State&) const = default;
    };

    // The field starts with defaultAddress ("%X"), the code area chosen.
    AreaDialog(uint32_t defaultAddress, Language language);

    void OnCodeAreaClicked() { dataArea_ = false; }
    void OnDataAreaClicked() { dataArea_ = true; }
    // The field's text after an edit; it is shown in upper case.
    void OnAddressEdited(std::string_view text);
    // OK: the address the choice gives. The code area is 0 whatever the field
    // holds; a field without a hexadecimal number keeps the default.
    uint32_t OnOk() const;

    State Present() const;

private:
    uint32_t defaultAddress_;
    Language language_;
    bool dataArea_ = false;
    std::string address_;
};

}  // namespace korvid::workbench
