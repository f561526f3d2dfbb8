#include "access/device_access.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using korvid::access::Presence;

namespace {

// A made-up sysfs and /dev: USB devices with their ids and numbers, hidraw nodes.
class FakeSystem {
public:
    FakeSystem()
        : root_(fs::temp_directory_path() / ("korvid-access-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "usb");
        fs::create_directories(root_ / "hidraw");
        fs::create_directories(root_ / "hid");
        fs::create_directories(root_ / "dev");
        paths_.usbDevices = (root_ / "usb").string();
        paths_.hidrawClass = (root_ / "hidraw").string();
        paths_.devRoot = (root_ / "dev").string();
        paths_.mayOpen = [this](const std::string& node) { return !blocked_.count(node); };
    }
    ~FakeSystem() { fs::remove_all(root_); }

    void addUsb(const std::string& name, const char* vendor, const char* product, int bus,
                int number) {
        const fs::path device = root_ / "usb" / name;
        fs::create_directories(device);
        write(device / "idVendor", vendor);
        write(device / "idProduct", product);
        write(device / "busnum", std::to_string(bus));
        write(device / "devnum", std::to_string(number));
    }
    void addHidraw(const std::string& node, const std::string& hidName) {
        fs::create_directories(root_ / "hid" / hidName);
        fs::create_directories(root_ / "hidraw" / node);
        fs::create_directory_symlink(root_ / "hid" / hidName, root_ / "hidraw" / node / "device");
    }
    std::string dev(const std::string& relative) const { return paths_.devRoot + "/" + relative; }
    void block(const std::string& node) { blocked_.insert(node); }
    const korvid::access::SystemPaths& paths() const { return paths_; }

private:
    static void write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text << "\n";
    }
    fs::path root_;
    korvid::access::SystemPaths paths_;
    std::set<std::string> blocked_;
};

}  // namespace

TEST(DeviceAccess, NothingAttachedIsNotFound) {
    FakeSystem system;
    system.addUsb("1-1", "046d", "c52b", 1, 3);  // somebody's mouse
    system.addUsb("1-2", "4c7b", "0001", 1, 4);  // same vendor, not a programmer
    const auto report = korvid::access::probeProgrammerAccess(system.paths());
    EXPECT_EQ(report.presence, Presence::NotFound);
    EXPECT_TRUE(report.blockedNodes.empty());
    EXPECT_EQ(korvid::access::accessAdvice(report), "");
}

TEST(DeviceAccess, EveryModelAndModeIsRecognised) {
    for (const char* product : {"0323", "030b", "030d", "030D"}) {
        FakeSystem system;
        system.addUsb("2-1.4", "4c7b", product, 2, 17);
        const auto report = korvid::access::probeProgrammerAccess(system.paths());
        EXPECT_EQ(report.presence, Presence::Accessible) << product;
    }
}

TEST(DeviceAccess, PresentButBlockedNamesNodesAndRulesFile) {
    FakeSystem system;
    system.addUsb("3-2", "4c7b", "0323", 3, 9);
    system.addHidraw("hidraw2", "0003:4C7B:0323.0007");
    system.block(system.dev("bus/usb/003/009"));
    system.block(system.dev("hidraw2"));
    const auto report = korvid::access::probeProgrammerAccess(system.paths());
    EXPECT_EQ(report.presence, Presence::NotAccessible);
    EXPECT_EQ(report.blockedNodes,
              (std::vector<std::string>{system.dev("bus/usb/003/009"), system.dev("hidraw2")}));
    const std::string advice = korvid::access::accessAdvice(report);
    EXPECT_NE(advice.find("60-korvid.rules"), std::string::npos);
    EXPECT_NE(advice.find(system.dev("hidraw2")), std::string::npos);
}

TEST(DeviceAccess, OneOpenableNodeIsEnough) {
    FakeSystem system;
    system.addUsb("1-1", "4c7b", "0323", 1, 2);
    system.addHidraw("hidraw0", "0003:4C7B:0323.0001");
    system.block(system.dev("bus/usb/001/002"));
    const auto report = korvid::access::probeProgrammerAccess(system.paths());
    EXPECT_EQ(report.presence, Presence::Accessible);
    EXPECT_EQ(report.blockedNodes, std::vector<std::string>{system.dev("bus/usb/001/002")});
}

TEST(DeviceAccess, UnreadableAttributesAreSkipped) {
    FakeSystem system;
    system.addUsb("usb1", "4c7b", "0323", 1, 1);
    fs::remove(fs::path(system.paths().usbDevices) / "usb1" / "devnum");
    EXPECT_EQ(korvid::access::probeProgrammerAccess(system.paths()).presence, Presence::NotFound);
}
