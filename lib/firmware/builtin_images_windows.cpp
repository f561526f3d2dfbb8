// The built-in firmware images on Windows: resources of type "BINARY" (language
// 0x0404) of the module named "KORVID.dll", looked up by identifier each time. An
// image is there only when the DLL was built with its file; code that links the
// library's internals without KORVID.dll being loaded finds none.
#include <windows.h>

#include <array>

#include "firmware/builtin_images.h"
#include "firmware/firmware_images.h"

namespace korvid::firmware {
namespace {

// The resource's bytes, valid while the module stays loaded; empty when missing.
std::span<const uint8_t> resourceBytes(HMODULE module, uint16_t resourceId) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "Binary");
    if (resource == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const uint8_t*>(bytes), size};
}

}  // namespace

std::span<const BuiltinImage> builtinImages() {
    static std::array<BuiltinImage, 2> found;
    HMODULE module = GetModuleHandleA("KORVID.dll");
    if (module == nullptr) {
        return {};
    }
    size_t count = 0;
    for (const uint16_t id : {kHidProgrammerImage, kPipeProgrammerImage}) {
        const std::span<const uint8_t> bytes = resourceBytes(module, id);
        if (!bytes.empty()) {
            found[count++] = {id, bytes};
        }
    }
    return std::span<const BuiltinImage>(found.data(), count);
}

}  // namespace korvid::firmware
