// Refusals of a code file whose content contradicts the format it is read as:
// text that is not Intel HEX read as Intel HEX, a damaged Intel HEX file, and Intel
// HEX text about to be taken as raw bytes. Writing the text of a HEX file into a
// chip is never wanted, nor the part of a file before its first bad record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvid::cli {

// Throws a NotIntelHex failure that names path and ends with advice, unless the
// first line of bytes that is not empty is an Intel HEX record.
void RequireIntelHex(const std::string& path, std::span<const uint8_t> bytes,
                     const std::string& advice);

// The image of the Intel HEX text of the file at path; throws a NotIntelHex failure
// that names the line of the first bad record when the file is damaged.
std::vector<uint8_t> ConvertIntelHex(const std::string& path, std::string_view text);

// Throws an IntelHexAsBinary failure, with advice naming --format, when the first
// line of bytes that is not empty is an Intel HEX record.
void RefuseIntelHexAsBinary(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace korvid::cli
