// The Intel HEX file the conversion benchmarks measure: a 4 MiB image of
// pseudo-random bytes, written by srec_cat as 16-byte records with extended linear
// address records (-intel -address-length=4).
#pragma once

#include <cstddef>
#include <filesystem>

namespace korvid::bench {

inline constexpr std::size_t kIntelHexImageBytes = 4u * 1024u * 1024u;

// Makes (once per process) <temp>/<folder>/image.bin and image.hex; returns the folder.
const std::filesystem::path& IntelHexFixture(const char* folder);

}  // namespace korvid::bench
