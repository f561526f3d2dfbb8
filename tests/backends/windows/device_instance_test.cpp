// What the Windows backends read from device instance identifiers and still-image
// device names.
#include <gtest/gtest.h>

#include "link/backends/windows/device_instance.h"
#include "link/backends/windows/overlapped_transfer.h"
#include "link/backends/windows/usbscan_bus.h"
#include "link/backends/windows/windows_hid_bus.h"

namespace korvid::platform {
namespace {

TEST(DeviceInstance, IdentifiersSerialAndKindComeFromTheInstanceIdentifier) {
    const auto ids = usbIdsOfInstanceId("USB\\VID_4C7B&PID_030D\\SIM0001");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->vendorId, 0x4C7B);
    EXPECT_EQ(ids->productId, 0x030D);
    EXPECT_EQ(usbIdsOfInstanceId("hid\\vid_4c7b&pid_0323&mi_00\\7&1a2b&0&0000")->productId, 0x0323);
    EXPECT_FALSE(usbIdsOfInstanceId("ROOT\\SYSTEM\\0000"));
    EXPECT_FALSE(usbIdsOfInstanceId("USB\\VID_4C7B&PID_03\\X"));  // too few digits
    EXPECT_FALSE(usbIdsOfInstanceId("USB\\VID_4C7B&PID_03G3\\X"));

    EXPECT_TRUE(isUsbDeviceInstanceId("USB\\VID_4C7B&PID_0323\\SIM0001"));
    EXPECT_FALSE(isUsbDeviceInstanceId("USB\\VID_4C7B&PID_0323&MI_01\\6&2C&0&0001"));
    EXPECT_FALSE(isUsbDeviceInstanceId("HID\\VID_4C7B&PID_0323\\7&1A2B&0&0000"));
    EXPECT_FALSE(isUsbDeviceInstanceId("WINEBUS\\VID_845E&PID_0001\\0"));

    EXPECT_EQ(usbSerialOfInstanceId("USB\\VID_4C7B&PID_0323\\SIM0001"), "SIM0001");
    // Made up by Windows for a device without a serial string.
    EXPECT_EQ(usbSerialOfInstanceId("USB\\VID_4C7B&PID_0323\\5&3A2F1B4&0&2"), "");
    EXPECT_EQ(usbSerialOfInstanceId("HID\\VID_4C7B&PID_0323\\SIM0001"), "");
}

TEST(UsbscanNames, AreNumberedFromZeroTo127) {
    EXPECT_EQ(usbscanDeviceName(0), "\\\\.\\Usbscan0");
    EXPECT_EQ(usbscanDeviceName(127), "\\\\.\\Usbscan127");
    EXPECT_EQ(usbscanIndexOf("\\\\.\\Usbscan3"), 3u);
    EXPECT_EQ(usbscanIndexOf("\\\\.\\USBSCAN12"), 12u);
    EXPECT_FALSE(usbscanIndexOf("\\\\.\\Usbscan128"));
    EXPECT_FALSE(usbscanIndexOf("\\\\.\\Usbscan"));
    EXPECT_FALSE(usbscanIndexOf("\\\\.\\Usbscan1x"));
    EXPECT_FALSE(usbscanIndexOf("\\\\.\\Usbprint1"));
    EXPECT_FALSE(usbscanIndexOf(""));
}

TEST(WindowsErrors, DeviceFaultsAndOpenFailuresAreTold) {
    EXPECT_TRUE(isDeviceFault(ERROR_IO_DEVICE));
    EXPECT_TRUE(isDeviceFault(ERROR_CRC));
    EXPECT_TRUE(isDeviceFault(ERROR_BAD_COMMAND));
    EXPECT_FALSE(isDeviceFault(ERROR_OPERATION_ABORTED));
    EXPECT_FALSE(isDeviceFault(ERROR_BROKEN_PIPE));
    EXPECT_EQ(openFailureFromWindowsError(ERROR_ACCESS_DENIED), OpenFailure::AccessDenied);
    EXPECT_EQ(openFailureFromWindowsError(ERROR_SHARING_VIOLATION), OpenFailure::Busy);
    EXPECT_EQ(openFailureFromWindowsError(ERROR_FILE_NOT_FOUND), OpenFailure::NotFound);
    EXPECT_EQ(openFailureFromWindowsError(ERROR_DEVICE_NOT_CONNECTED), OpenFailure::NotFound);
    EXPECT_EQ(openFailureFromWindowsError(ERROR_GEN_FAILURE), OpenFailure::Other);
}

}  // namespace
}  // namespace korvid::platform
