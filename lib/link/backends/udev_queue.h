// udev's own view of pending device events.
#pragma once

namespace korvid::platform {

// True when udev has no device event queued or in progress. Also true when udev is
// not running: then nobody applies rules and there is nothing to wait for.
bool udevEventQueueIsEmpty();

}  // namespace korvid::platform
