#include "HexDigitEdit.h"

#include "hex_text.h"

#include <commctrl.h>

namespace korvid::win32 {
namespace {

constexpr UINT_PTR kFilterId = 1;

LRESULT CALLBACK FilterCharacters(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR allowFormFeed) {
    switch (message) {
        case WM_CHAR:
            if (!workbench::PassesHexDigitFilter(static_cast<char32_t>(wParam),
                                                 allowFormFeed != 0)) {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, FilterCharacters, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void AttachHexDigitFilter(HWND edit, bool allowFormFeed) {
    SetWindowSubclass(edit, FilterCharacters, kFilterId, allowFormFeed ? 1 : 0);
}

}  // namespace korvid::win32
