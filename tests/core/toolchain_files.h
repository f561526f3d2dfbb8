// Intel HEX files written by real tools at test time, and objcopy's conversion of
// them, for tests that compare the project's loading with the toolchains'. Each
// function runs its tool in dir and throws std::runtime_error when it fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::toolchain {

// A small 8051 program with a constant table, so that its image has code and data.
extern const char* const kSdccBlinkProgram;

// Writes source to dir/NAME.c, compiles it with sdcc for the 8051 with code at 0
// and returns the path of the Intel HEX file sdcc writes, dir/NAME.ihx.
std::string CompileWithSdcc(const std::string& dir, const std::string& name,
                            const std::string& source);

// Runs srec_cat with arguments (a shell-quoted argument list) in dir.
void RunSrecCat(const std::string& dir, const std::string& arguments);

// objcopy's binary image of the Intel HEX file at hexPath, gaps filled with 0xFF.
// objcopy writes from the lowest address used, so it equals the project's
// conversion for files with data at 0.
std::vector<uint8_t> ObjcopyImage(const std::string& hexPath);

// What objcopy says when it refuses to convert the Intel HEX file at hexPath; ""
// when it converts it.
std::string ObjcopyRefusal(const std::string& hexPath);

}  // namespace korvid::toolchain
