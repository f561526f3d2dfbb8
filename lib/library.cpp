// libkorvid.so is assembled from the internal static libraries; the exported
// functions live in the thin export files of each subsystem.
#include "korvid.h"
