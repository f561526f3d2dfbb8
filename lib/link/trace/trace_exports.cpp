// The exported wire-trace functions: C in, C++ inside, no exception out.
#include "korvid_ext.h"
#include "link/trace/trace_session.h"

extern "C" {

KORVID_API uint8_t KorvidStartTrace(const char* path) {
    if (path == nullptr) {
        return RC_FILE_OPEN;
    }
    try {
        return korvid::trace::StartTrace(path) ? RC_OK : RC_FILE_OPEN;
    } catch (...) {
        return RC_FILE_OPEN;
    }
}

KORVID_API void KorvidStopTrace(void) {
    korvid::trace::StopTrace();
}

}  // extern "C"
