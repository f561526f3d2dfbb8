#include "programming/code_image.h"

#include <algorithm>

namespace korvid::programming {

std::optional<uint32_t> codeImageLength(const JobRecord& job) {
    if ((job.serialFlags & kSerialFlagEnabled) == 0) {
        return job.codeLength;
    }
    if (job.serialAddress > UINT32_MAX - kSerialBlockBytes) {
        return std::nullopt;
    }
    return std::max(job.codeLength, job.serialAddress + kSerialBlockBytes);
}

std::vector<uint8_t> buildCodeImage(JobRecord& job, uint32_t length) {
    std::vector<uint8_t> image(length, 0xFF);
    if (job.codeLength != 0) {  // an empty job may come without a buffer
        std::copy_n(job.codeBuffer, std::min(job.codeLength, length), image.begin());
    }
    if (job.serialFlags & kSerialFlagEnabled) {
        auto block = image.begin() + job.serialAddress;
        block = std::copy_n(job.serialText, KORVID_SERIAL_TEXT_SIZE, block);
        std::fill_n(block, kSerialBlockBytes - KORVID_SERIAL_TEXT_SIZE, 0x00);
        job.serialAddress += KORVID_SERIAL_TEXT_SIZE;
    }
    return image;
}

}  // namespace korvid::programming
