// Whether the programmer the operations open may be opened, and why not: the
// diagnosis over the library's programmer list and its export, against simulated
// programmers (one that refuses to be opened is listed as not accessible, as the
// real buses list a device node this user may not open).
#include "link/programmer_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "korvid.h"
#include "korvid_ext.h"
#include "link/hid_link.h"
#include "link/pipe_link.h"
#include "link/platform.h"
#include "link/selection.h"
#include "link/sim/simulated_programmer.h"

namespace korvid::link {
namespace {

class ProgrammerAccessTest : public ::testing::Test {
protected:
    ~ProgrammerAccessTest() override { SelectProgrammer(""); }

    sim::SimulatedPlatform sim;
    sim::ScopedTestPlatform use{sim.platform()};
};

TEST_F(ProgrammerAccessTest, NoneAttached) {
    const AccessDiagnosis diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::NotAttached);
    EXPECT_EQ(diagnosis.link, LinkKind::None);
    EXPECT_EQ(diagnosis.location, "");
    EXPECT_EQ(diagnosis.node, "");
}

TEST_F(ProgrammerAccessTest, ANodeThisUserMayNotOpenIsNamed) {
    auto& refusing = sim.attachHidProgrammer({.serial = "H1", .refuseOpen = true});
    const AccessDiagnosis diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::Denied);
    EXPECT_EQ(diagnosis.link, LinkKind::Hid);
    EXPECT_EQ(diagnosis.location, "0-1");
    EXPECT_EQ(diagnosis.node, "sim-hid-0");
    EXPECT_EQ(refusing.openCount(), 0u);  // asked nothing
    EXPECT_TRUE(refusing.traffic().empty());
}

TEST_F(ProgrammerAccessTest, OfSeveralTheFirstThatOpensCounts) {
    sim.attachHidProgrammer({.serial = "H1", .refuseOpen = true});
    sim.attachPipeProgrammer({.serial = "P1"});
    sim.attachHidProgrammer({.serial = "H2", .refuseOpen = true});
    AccessDiagnosis diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::Opens);
    EXPECT_EQ(diagnosis.link, LinkKind::Pipe);
    EXPECT_EQ(diagnosis.location, "0-2");
    EXPECT_EQ(diagnosis.node, "sim-pipe-0");

    // The selection decides which of them the operations open.
    SelectProgrammer("H2");
    diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::Denied);
    EXPECT_EQ(diagnosis.location, "0-3");
    EXPECT_EQ(diagnosis.node, "sim-hid-1");
    SelectProgrammer("0-2");
    EXPECT_EQ(DiagnoseAccess().access, Access::Opens);
    SelectProgrammer("9-9");
    EXPECT_EQ(DiagnoseAccess().access, Access::NotAttached);
}

TEST_F(ProgrammerAccessTest, AllRefusingGivesTheFirstInTheOrderOperationsTryThem) {
    sim.attachPipeProgrammer({.serial = "P1", .refuseOpen = true});
    sim.attachHidProgrammer({.productId = kHidProductFirmwareUpdate, .refuseOpen = true});
    const AccessDiagnosis diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::Denied);
    EXPECT_EQ(diagnosis.link, LinkKind::Hid);  // HID programmers come first
    EXPECT_EQ(diagnosis.location, "0-2");
}

// A device tree such as Windows' holds a programmer whose driver is missing (in
// neither bus's list), beside one the buses list, and a device of another product.
std::vector<platform::TreeUsbDevice> TreeWithAProgrammerWithoutDriver(uint16_t vendorId) {
    if (vendorId != kVendorId) {
        return {};
    }
    return {{0x9999, "1-1", "X1", "USB\\VID_4C7B&PID_9999\\X1"},
            {kHidProductNormal, "0-1", "H1", "USB\\VID_4C7B&PID_0323\\H1"},
            {kPipeProduct, "1-4", "P9", "USB\\VID_4C7B&PID_030D\\P9"}};
}

TEST_F(ProgrammerAccessTest, AProgrammerInTheDeviceTreeOnlyHasNoDriver) {
    sim.attachHidProgrammer({.serial = "H1", .refuseOpen = true});
    sim.platform().treeUsbDevices = TreeWithAProgrammerWithoutDriver;
    // A listed programmer that may not be opened comes first.
    EXPECT_EQ(DiagnoseAccess().access, Access::Denied);

    SelectProgrammer("P9");
    const AccessDiagnosis diagnosis = DiagnoseAccess();
    EXPECT_EQ(diagnosis.access, Access::NoDriver);
    EXPECT_EQ(diagnosis.link, LinkKind::Pipe);
    EXPECT_EQ(diagnosis.location, "1-4");
    EXPECT_EQ(diagnosis.node, "USB\\VID_4C7B&PID_030D\\P9");
    KorvidAccess access{};
    EXPECT_EQ(KorvidCheckAccess(&access), RC_NO_DEVICE);
    EXPECT_EQ(access.cause, KORVID_ACCESS_NO_DRIVER);
    EXPECT_EQ(access.link, KORVID_LINK_PIPE);

    SelectProgrammer("X1");  // not a programmer
    EXPECT_EQ(DiagnoseAccess().access, Access::NotAttached);
}

TEST_F(ProgrammerAccessTest, TheExportFillsItsRecordAndAnswersNoDeviceUnlessItOpens) {
    KorvidAccess access;
    std::memset(&access, 0x5A, sizeof access);
    EXPECT_EQ(KorvidCheckAccess(&access), RC_NO_DEVICE);
    EXPECT_EQ(access.cause, KORVID_ACCESS_NOT_ATTACHED);
    EXPECT_EQ(access.link, 0u);
    EXPECT_STREQ(access.location, "");
    EXPECT_STREQ(access.node, "");

    sim.attachHidProgrammer({.serial = "H1", .refuseOpen = true});
    EXPECT_EQ(KorvidCheckAccess(&access), RC_NO_DEVICE);
    EXPECT_EQ(access.cause, KORVID_ACCESS_DENIED);
    EXPECT_EQ(access.link, KORVID_LINK_HID);
    EXPECT_STREQ(access.location, "0-1");
    EXPECT_STREQ(access.node, "sim-hid-0");
    // The links themselves find no programmer to open.
    EXPECT_EQ(OpenHidProgrammer(kVendorId, kHidProductNormal), 0);

    sim.attachPipeProgrammer({.serial = "P1"});
    EXPECT_EQ(KorvidCheckAccess(&access), RC_OK);
    EXPECT_EQ(access.cause, KORVID_ACCESS_OPENS);
    EXPECT_EQ(access.link, KORVID_LINK_PIPE);
    EXPECT_STREQ(access.node, "sim-pipe-0");
    EXPECT_EQ(KorvidCheckAccess(nullptr), RC_OK);
}

}  // namespace
}  // namespace korvid::link
