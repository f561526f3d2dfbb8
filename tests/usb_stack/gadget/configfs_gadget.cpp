#include "configfs_gadget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace korvid::gadget {
namespace {

constexpr const char* kGadgetRoot = "/sys/kernel/config/usb_gadget/";

std::string hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void makeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        fail("mkdir", path);
    }
}

}  // namespace

void WriteAttribute(const std::string& path, const std::string& value) {
    const int fd = open(path.c_str(), O_WRONLY);
    if (fd < 0) {
        fail("open", path);
    }
    const ssize_t written = write(fd, value.data(), value.size());
    const int error = errno;
    close(fd);
    if (written != static_cast<ssize_t>(value.size())) {
        errno = error;
        fail("write", path);
    }
}

ConfigfsGadget::ConfigfsGadget(std::string name, std::string functionName,
                               const DeviceIdentity& identity)
    : dir_(kGadgetRoot + name), functionDir_(dir_ + "/functions/ffs." + functionName) {
    makeDir(dir_);
    WriteAttribute(dir_ + "/idVendor", hex4(identity.vendorId));
    WriteAttribute(dir_ + "/idProduct", hex4(identity.productId));
    WriteAttribute(dir_ + "/bcdDevice", "0x0100");
    WriteAttribute(dir_ + "/bcdUSB", "0x0110");
    makeDir(dir_ + "/strings/0x409");
    WriteAttribute(dir_ + "/strings/0x409/manufacturer", identity.manufacturer);
    WriteAttribute(dir_ + "/strings/0x409/product", identity.product);
    if (!identity.serial.empty()) {
        WriteAttribute(dir_ + "/strings/0x409/serialnumber", identity.serial);
    }
    makeDir(dir_ + "/configs/c.1");
    WriteAttribute(dir_ + "/configs/c.1/MaxPower", "100");
    makeDir(functionDir_);
    const std::string link = dir_ + "/configs/c.1/ffs." + functionName;
    if (symlink(functionDir_.c_str(), link.c_str()) != 0 && errno != EEXIST) {
        fail("symlink", link);
    }
}

ConfigfsGadget::~ConfigfsGadget() {
    try {
        unbind();
    } catch (const std::exception&) {
        // Removing what can be removed is all that is left to do.
    }
    const std::string function = functionDir_.substr(functionDir_.rfind('/') + 1);
    unlink((dir_ + "/configs/c.1/" + function).c_str());
    rmdir((dir_ + "/configs/c.1").c_str());
    rmdir(functionDir_.c_str());
    rmdir((dir_ + "/strings/0x409").c_str());
    rmdir(dir_.c_str());
}

void ConfigfsGadget::bind(const std::string& udc) {
    WriteAttribute(dir_ + "/UDC", udc);
    bound_ = true;
}

void ConfigfsGadget::unbind() {
    if (bound_) {
        bound_ = false;
        WriteAttribute(dir_ + "/UDC", "\n");
    }
}

}  // namespace korvid::gadget
