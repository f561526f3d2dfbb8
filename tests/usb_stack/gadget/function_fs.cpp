#include "function_fs.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace korvid::gadget {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void writeAll(int fd, const std::vector<uint8_t>& bytes, const std::string& path) {
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        fail("write", path);
    }
}

}  // namespace

FunctionFs::FunctionFs(std::string name, const std::vector<uint8_t>& descriptors,
                       const std::vector<uint8_t>& strings, size_t endpoints)
    : mountPoint_("/dev/ffs-" + name) {
    if (mkdir(mountPoint_.c_str(), 0755) != 0 && errno != EEXIST) {
        fail("mkdir", mountPoint_);
    }
    if (mount(name.c_str(), mountPoint_.c_str(), "functionfs", 0, nullptr) != 0) {
        fail("mount functionfs", mountPoint_);
    }
    const std::string control = mountPoint_ + "/ep0";
    ep0_ = open(control.c_str(), O_RDWR);
    if (ep0_ < 0) {
        fail("open", control);
    }
    writeAll(ep0_, descriptors, control);
    writeAll(ep0_, strings, control);
    for (size_t n = 1; n <= endpoints; ++n) {
        const std::string path = mountPoint_ + "/ep" + std::to_string(n);
        const int fd = open(path.c_str(), O_RDWR);
        if (fd < 0) {
            fail("open", path);
        }
        endpoints_.push_back(fd);
    }
}

FunctionFs::~FunctionFs() {
    for (int fd : endpoints_) {
        close(fd);
    }
    if (ep0_ >= 0) {
        close(ep0_);
    }
    umount(mountPoint_.c_str());
    rmdir(mountPoint_.c_str());
}

std::optional<usb_functionfs_event> FunctionFs::nextEvent() {
    pollfd ready{ep0_, POLLIN, 0};
    if (poll(&ready, 1, 0) != 1 || (ready.revents & POLLIN) == 0) {
        return std::nullopt;
    }
    usb_functionfs_event event{};
    if (read(ep0_, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) {
        return std::nullopt;
    }
    return event;
}

bool FunctionFs::sendData(const usb_ctrlrequest& request, const uint8_t* data, size_t length) {
    const size_t n = std::min<size_t>(length, request.wLength);
    return write(ep0_, data, n) == static_cast<ssize_t>(n);
}

std::optional<std::vector<uint8_t>> FunctionFs::receiveData(const usb_ctrlrequest& request) {
    std::vector<uint8_t> data(request.wLength);
    if (read(ep0_, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
        return std::nullopt;
    }
    return data;
}

void FunctionFs::stall(const usb_ctrlrequest& request) {
    // The control endpoint stalls a request when it is served in the wrong direction.
    uint8_t none = 0;
    if ((request.bRequestType & USB_DIR_IN) != 0) {
        (void)!read(ep0_, &none, 0);
    } else {
        (void)!write(ep0_, &none, 0);
    }
}

}  // namespace korvid::gadget
