#include "link/backends/hidraw_nodes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace korvid::platform {
namespace {
namespace fs = std::filesystem;

// A miniature /sys/class/hidraw: each node links "device" to a HID device
// directory named the way the kernel names it.
class FakeHidrawClass : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("korvid-hidraw-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "class");
    }
    void TearDown() override { fs::remove_all(root_); }

    void addNode(const std::string& node, const std::string& hidDevice,
                 const std::vector<uint8_t>& descriptor) {
        const fs::path device = root_ / "devices" / hidDevice;
        fs::create_directories(device);
        std::ofstream(device / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()),
                   static_cast<std::streamsize>(descriptor.size()));
        fs::create_directories(classDir() + "/" + node);
        fs::create_directory_symlink(device, fs::path(classDir()) / node / "device");
    }

    std::string classDir() const { return (root_ / "class").string(); }

    fs::path root_;
};

TEST_F(FakeHidrawClass, FindsTheVendorsNodesInNameOrder) {
    addNode("hidraw4", "0003:4C7B:030B.0009", {});
    addNode("hidraw0", "0003:046D:C52B.0001", {});
    addNode("hidraw2", "0003:4C7B:0323.0004", {});
    addNode("hidraw7", "0005:4C7C:0323.000A", {});
    EXPECT_EQ(hidrawNodesOfVendor(0x4C7B, classDir()),
              (std::vector<std::string>{"/dev/hidraw2", "/dev/hidraw4"}));
    EXPECT_TRUE(hidrawNodesOfVendor(0x1234, classDir()).empty());
    EXPECT_TRUE(hidrawNodesOfVendor(0x4C7B, classDir() + "/missing").empty());
}

TEST_F(FakeHidrawClass, ReadsTheDescriptorOfTheNodeBehindADevicePath) {
    const std::vector<uint8_t> descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    addNode("hidraw3", "0003:4C7B:0323.0005", descriptor);
    EXPECT_EQ(readReportDescriptor("/dev/hidraw3", classDir()), descriptor);
    // A udev symlink to the node leads to the same descriptor.
    std::ofstream(root_ / "hidraw3");
    fs::create_symlink(root_ / "hidraw3", root_ / "programmer");
    EXPECT_EQ(readReportDescriptor((root_ / "programmer").string(), classDir()), descriptor);
    EXPECT_FALSE(readReportDescriptor("/dev/hidraw9", classDir()));
    EXPECT_FALSE(readReportDescriptor("/dev/ttyS0", classDir()));
}

TEST_F(FakeHidrawClass, LocatesTheUsbDeviceBehindANode) {
    addNode("hidraw5", "usb1/1-2/1-2.3/1-2.3:1.0/0003:4C7B:0323.0005", {});
    addNode("hidraw6", "virtual/misc/uhid/0003:4C7B:0323.0006", {});
    EXPECT_EQ(usbLocationOfHidrawNode("/dev/hidraw5", classDir()), "1-2.3");
    EXPECT_EQ(usbLocationOfHidrawNode("/dev/hidraw6", classDir()), "");  // not on USB
    EXPECT_EQ(usbLocationOfHidrawNode("/dev/hidraw9", classDir()), "");  // gone
    EXPECT_EQ(usbLocationOfHidrawNode("/dev/ttyS0", classDir()), "");
}

TEST(HidDeviceName, ParsesBusVendorAndProduct) {
    const auto ids = parseHidDeviceName("0003:4C7B:030B.000C");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->vendorId, 0x4C7B);
    EXPECT_EQ(ids->productId, 0x030B);
    EXPECT_TRUE(parseHidDeviceName("0003:4C7B:0323.12345"));
    for (const char* bad : {"", "0003:4C7B:0323", "0003-4C7B:0323.0001", "0003:4C7G:0323.0001",
                            "0003:+C7B:0323.0001", "input17"}) {
        EXPECT_FALSE(parseHidDeviceName(bad)) << bad;
    }
}

TEST(OpenFailureDiagnosis, TellsNotAccessibleFromNotThere) {
    EXPECT_EQ(openFailureFromErrno(EACCES), OpenFailure::AccessDenied);
    EXPECT_EQ(openFailureFromErrno(EPERM), OpenFailure::AccessDenied);
    EXPECT_EQ(openFailureFromErrno(ENOENT), OpenFailure::NotFound);
    EXPECT_EQ(openFailureFromErrno(ENODEV), OpenFailure::NotFound);
    EXPECT_EQ(openFailureFromErrno(EBUSY), OpenFailure::Busy);
    EXPECT_EQ(openFailureFromErrno(EIO), OpenFailure::Other);

    EXPECT_EQ(diagnoseOpenFailure("/dev/hidraw-that-is-not-there"), OpenFailure::NotFound);
    EXPECT_EQ(diagnoseOpenFailure(fs::temp_directory_path().string()), OpenFailure::Other);
    EXPECT_FALSE(isReadWriteAccessible("/dev/hidraw-that-is-not-there"));
}

}  // namespace
}  // namespace korvid::platform
