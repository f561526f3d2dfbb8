#include "link/backends/usb_sysfs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace korvid::platform {
namespace {
namespace fs = std::filesystem;

TEST(UsbLocationInSysfsPath, TheUsbDeviceAboveItsInterfaces) {
    EXPECT_EQ(usbLocationInSysfsPath("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2.3/"
                                     "1-2.3:1.0/0003:4C7B:0323.0005"),
              "1-2.3");
    EXPECT_EQ(usbLocationInSysfsPath("/sys/devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1:1.0"),
              "3-1");
    EXPECT_EQ(usbLocationInSysfsPath("/sys/devices/platform/x/usb12/12-10.4.7/"
                                     "12-10.4.7:1.2/0003:4C7B:030B.0011/hidraw/hidraw4"),
              "12-10.4.7");
    EXPECT_EQ(usbLocationInSysfsPath("1-2"), "1-2");
}

TEST(UsbLocationInSysfsPath, NothingWhenNotOnUsb) {
    for (const char* path :
         {"", "/", "/sys/devices/virtual/misc/uhid/0003:4C7B:0323.0001",
          "/sys/devices/pci0000:00/usb1", "/sys/devices/usb1/1-2:1.0", "/x/1-", "/x/-2", "/x/1-2.",
          "/x/1-.2", "/x/a-2", "/x/1-2a", "/sys/devices/LNXSYSTM:00/1-2.3x"}) {
        EXPECT_FALSE(usbLocationInSysfsPath(path)) << path;
    }
}

TEST(UsbSerial, ReadFromTheDeviceAttributeWithoutItsLineEnd) {
    const fs::path root =
        fs::temp_directory_path() / ("korvid-usb-devices-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "1-2.3");
    std::ofstream(root / "1-2.3" / "serial") << "SN 0042 \xC3\xA9\n";
    fs::create_directories(root / "1-4");

    EXPECT_EQ(usbSerialAt("1-2.3", root.string()), "SN 0042 \xC3\xA9");
    EXPECT_EQ(usbSerialAt("1-4", root.string()), "");  // the device has no serial string
    EXPECT_EQ(usbSerialAt("1-5", root.string()), "");  // gone
    EXPECT_EQ(usbSerialAt("", root.string()), "");
    fs::remove_all(root);
}

}  // namespace
}  // namespace korvid::platform
