// Whether this user may open the programmer that the operations open, and if not
// why: from the library's own programmer list, so that real and simulated
// programmers answer alike. Opens nothing and sends nothing.
#pragma once

#include <string>

#include "link/detect.h"

namespace korvid::link {

enum class Access {
    Opens,        // a programmer the operations may open is attached
    NotAttached,  // none is attached (none that the selection names)
    Denied,       // attached, but this user may not open its device node
    NoDriver      // attached, but the system offers no device of it to open
};

struct AccessDiagnosis {
    Access access = Access::NotAttached;
    LinkKind link = LinkKind::None;  // None when nothing is attached
    std::string location;
    std::string node;  // device node; for NoDriver the system's name of the USB device
};

// Looks at the programmers the selection names (all without one) in the order the
// operations try them: the first this user may open (Opens), else the first listed
// (Denied), else the first that the system sees on USB without a device to open
// (NoDriver), else NotAttached.
AccessDiagnosis DiagnoseAccess();

}  // namespace korvid::link
