#include "toolchain_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korvid::toolchain {
namespace {

void RunIn(const std::string& dir, const std::string& command) {
    const std::string full = "cd '" + dir + "' && " + command;
    if (std::system(full.c_str()) != 0) {
        throw std::runtime_error("failed: " + full);
    }
}

}  // namespace

const char* const kSdccBlinkProgram = R"(
#include <8051.h>
__code const unsigned char table[37] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233};
void delay(unsigned int n) { while (n--) { __asm nop __endasm; } }
void main(void) {
    unsigned char i = 0;
    for (;;) { P1 = table[i % 37]; delay(1000); ++i; }
}
)";

std::string CompileWithSdcc(const std::string& dir, const std::string& name,
                            const std::string& source) {
    std::ofstream(dir + "/" + name + ".c") << source;
    RunIn(dir, std::string(KORVID_SDCC) + " -mmcs51 --code-loc 0x0000 '" + name + ".c' >/dev/null");
    return dir + "/" + name + ".ihx";
}

void RunSrecCat(const std::string& dir, const std::string& arguments) {
    RunIn(dir, std::string(KORVID_SREC_CAT) + " " + arguments);
}

std::vector<uint8_t> ObjcopyImage(const std::string& hexPath) {
    const std::string binPath = hexPath + ".objcopy.bin";
    RunIn(".", std::string(KORVID_OBJCOPY) + " -I ihex -O binary --gap-fill 0xFF '" + hexPath +
                   "' '" + binPath + "'");
    std::ifstream in(binPath, std::ios::binary);
    std::vector<uint8_t> image{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
    in.close();
    std::remove(binPath.c_str());
    return image;
}

std::string ObjcopyRefusal(const std::string& hexPath) {
    const std::string binPath = hexPath + ".objcopy.bin";
    const std::string command =
        std::string(KORVID_OBJCOPY) + " -I ihex -O binary '" + hexPath + "' '" + binPath + "' 2>&1";
    FILE* output = ::popen(command.c_str(), "r");
    if (output == nullptr) {
        throw std::runtime_error("cannot start: " + command);
    }
    std::string said;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, output) != nullptr) {
        said += buffer;
    }
    const int status = ::pclose(output);
    std::remove(binPath.c_str());
    return status == 0 ? std::string() : said;
}

}  // namespace korvid::toolchain
