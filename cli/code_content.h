// Refusals of a code file whose content contradicts the format it is read as:
// text that is not Intel HEX read as Intel HEX, and Intel HEX text about to be
// taken as raw bytes. Writing the text of a HEX file into a chip is never wanted.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvid::cli {

// Throws a NotIntelHex failure that names path and ends with advice, unless the
// first line of bytes that is not empty is an Intel HEX record.
void RequireIntelHex(const std::string& path, std::span<const uint8_t> bytes,
                     const std::string& advice);

// Throws an IntelHexAsBinary failure, with advice naming --format, when the first
// line of bytes that is not empty is an Intel HEX record.
void RefuseIntelHexAsBinary(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace korvid::cli
