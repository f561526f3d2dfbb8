#include "access/device_access.h"

#include "korvid_ext.h"

namespace korvid::access {

AccessReport probeProgrammerAccess() {
    KorvidAccess access{};
    KorvidCheckAccess(&access);
    switch (access.cause) {
        case KORVID_ACCESS_OPENS:
            return {Presence::Accessible};
        case KORVID_ACCESS_DENIED:
        case KORVID_ACCESS_NO_DRIVER:
            return {Presence::NotAccessible};
        default:
            return {Presence::NotFound};
    }
}

}  // namespace korvid::access
