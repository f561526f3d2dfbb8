// The encodings of a job's option settings into configuration bytes and back:
// the single ISP option byte and the eight ICP configuration bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "catalogue/catalogue.h"
#include "korvid.h"

namespace korvid::catalogue {

// The project file builds its ISP option byte from this start value.
inline constexpr uint8_t kProjectIspOptionStart = 0xBF;

using IcpConfigBytes = std::array<uint8_t, kIcpConfigByteCount>;

// How the IAP boundary byte is written when iapMemoryIndex is 0: the programmer
// always gets the boundary, a project file stores 0xFF there.
enum class IapBoundaryEncoding { Programming, ProjectFile };

// The 64 option bits of a job record as one value, and back.
uint64_t optionStates(const JobRecord& job);
void setOptionStates(JobRecord& job, uint64_t states);

// The ISP option byte for job.partIndex / job.optionStates, starting from startValue.
// Options are active-low, except "KEEP IAP-DATA" on ISP entries 0..8.
uint8_t encodeIspOptionByte(const PartEntry& entry, const JobRecord& job, uint8_t startValue);

// Sets job.optionStates from an ISP option byte (job.partIndex must be set).
void decodeIspOptionByte(const PartEntry& entry, uint8_t optionByte, JobRecord& job);

// Size in bytes of ISP-memory choice `index` of the entry's list; nullopt when the
// list has no such token or the token is not hexadecimal.
std::optional<uint32_t> ispMemorySize(const PartEntry& entry, uint32_t index);

// Where an ICP job's ISP area and IAP area start: the ISP area takes the chosen
// ISP-memory size from the flash end, the IAP area iapMemoryIndex × 512 bytes
// below it. nullopt when ispMemoryIndex is beyond the list or ISP plus IAP memory
// is larger than the flash.
struct IcpAreaStarts {
    uint32_t ispStart = 0;
    uint32_t iapStart = 0;  // the IAP boundary the configuration bytes carry
};
std::optional<IcpAreaStarts> icpAreaStarts(const PartEntry& entry, const JobRecord& job);

// The eight ICP configuration bytes for job.partIndex, ispMemoryIndex,
// iapMemoryIndex, hwOptions and optionStates. nullopt when the job does not fit the
// entry: ispMemoryIndex beyond the list, or ISP plus IAP memory larger than the flash.
std::optional<IcpConfigBytes> encodeIcpConfigBytes(const PartEntry& entry, const JobRecord& job,
                                                   IapBoundaryEncoding encoding);

// Sets job.ispMemoryIndex, iapMemoryIndex, the HWWIDL and HWPS bits of hwOptions and
// optionStates from ICP configuration bytes (job.partIndex must be set); absent
// fields leave their job fields as they were. false when the bytes do not fit the
// entry (ISP-memory index beyond the list, boundary outside the flash); the job may
// then hold some decoded fields.
bool decodeIcpConfigBytes(const PartEntry& entry, const IcpConfigBytes& bytes, JobRecord& job);

}  // namespace korvid::catalogue
