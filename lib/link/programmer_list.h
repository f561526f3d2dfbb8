// Every attached programmer, on both links and in both modes of the HID model,
// as the platform lists it: nothing is opened and nothing is sent.
#pragma once

#include <string>
#include <vector>

#include "link/detect.h"

namespace korvid::link {

struct ProgrammerEntry {
    LinkKind link = LinkKind::None;
    bool updateMode = false;  // a HID programmer waiting in firmware-update mode
    bool accessible = false;  // this user may open its device node
    std::string location;
    std::string serial;
    std::string node;
};

// HID programmers first, then the older model, each in the bus's stable order
// (the order in which an open without a selection tries them).
std::vector<ProgrammerEntry> ListProgrammers();

}  // namespace korvid::link
