#include "link/backends/udev_queue.h"

#include <libudev.h>

namespace korvid::platform {

bool udevEventQueueIsEmpty() {
    udev* context = udev_new();
    if (context == nullptr) {
        return true;
    }
    bool empty = true;
    if (udev_queue* queue = udev_queue_new(context)) {
        // Negative when udev's state cannot be read: nothing known to wait for.
        empty = udev_queue_get_queue_is_empty(queue) != 0;
        udev_queue_unref(queue);
    }
    udev_unref(context);
    return empty;
}

}  // namespace korvid::platform
