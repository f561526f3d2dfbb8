#include "link/programmer_identifier.h"

namespace korvid::link {
namespace {
uint16_t lastAccepted = 0;
}

uint16_t programmerIdentifier() {
    return lastAccepted;
}

void setProgrammerIdentifier(uint16_t identifier) {
    lastAccepted = identifier;
}

}  // namespace korvid::link
