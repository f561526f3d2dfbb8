// One USB gadget in the kernel's configfs: a device with one configuration that
// holds one FunctionFS function. Binding it to a device controller (UDC) puts it on
// the bus; unbinding takes it off, as pulling the cable does.
#pragma once

#include <cstdint>
#include <string>

namespace korvid::gadget {

struct DeviceIdentity {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer{};
    std::string product{};
    std::string serial{};  // "" gives the device no serial string
};

class ConfigfsGadget {
public:
    // Creates the gadget `name` whose function is the FunctionFS instance
    // `functionName`; mount that instance (FunctionFs) before binding.
    ConfigfsGadget(std::string name, std::string functionName, const DeviceIdentity& identity);
    // Unbinds and removes the gadget again.
    ~ConfigfsGadget();
    ConfigfsGadget(const ConfigfsGadget&) = delete;
    ConfigfsGadget& operator=(const ConfigfsGadget&) = delete;

    void bind(const std::string& udc);
    void unbind();
    bool bound() const { return bound_; }

private:
    std::string dir_;
    std::string functionDir_;
    bool bound_ = false;
};

// Writes a configfs or sysfs attribute; throws with the path and the error.
void WriteAttribute(const std::string& path, const std::string& value);

}  // namespace korvid::gadget
