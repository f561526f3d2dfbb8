// The dialog program's question after "no device": is a programmer attached that
// this user may not open? The library answers it (KorvidCheckAccess, korvid_ext.h);
// this adapter keeps the dialog's call until the dialog asks the library itself.
#pragma once

namespace korvid::access {

enum class Presence {
    NotFound,      // no programmer is attached (none that the selection names)
    Accessible,    // one that this user may open is attached
    NotAccessible  // programmers are attached, but this user may open none of them
};

struct AccessReport {
    Presence presence = Presence::NotFound;
};

AccessReport probeProgrammerAccess();

}  // namespace korvid::access
