#include "intel_hex_fixture.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace korvid::bench {

const std::filesystem::path& IntelHexFixture(const char* folder) {
    static const std::filesystem::path dir = [folder] {
        std::filesystem::path d = std::filesystem::temp_directory_path() / folder;
        std::filesystem::create_directories(d);
        std::ofstream image(d / "image.bin", std::ios::binary);
        uint32_t x = 12345;
        for (std::size_t i = 0; i < kIntelHexImageBytes; ++i) {
            x = x * 1103515245u + 12345u;
            image.put(static_cast<char>(x >> 24));
        }
        image.close();
        const std::string command = "cd '" + d.string() + "' && " + KORVID_SREC_CAT +
                                    " image.bin -binary -o image.hex -intel -address-length=4"
                                    " -output_block_size=16";
        if (std::system(command.c_str()) != 0) {
            std::abort();
        }
        return d;
    }();
    return dir;
}

}  // namespace korvid::bench
