#include "version_text.h"

#include <cstdio>

namespace korvid::workbench {

std::string VersionText(uint16_t version) {
    char text[16];
    std::snprintf(text, sizeof text, "%X.%02X", static_cast<unsigned>(version >> 8),
                  static_cast<unsigned>(version & 0xFF));
    return text;
}

}  // namespace korvid::workbench
