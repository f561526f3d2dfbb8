// What the parent hands a worker process that loads one programmer of a rack: the
// command line's job and count choices, the firmware rule, the programmer's
// location and the image the parent checked, as one JSON object.
#pragma once

#include "commands.h"

#include <cstdint>
#include <string>

namespace korvid::cli {

struct WorkerRequest {
    JobChoices job;
    StoreChoices store;  // serial.serialNumber is the worker's first number
    FirmwarePolicy policy = FirmwarePolicy::Refuse;
    std::string location;
    // The image the parent loaded: a file changed in between is refused.
    uint32_t codeLength = 0;
    std::string checksum;
};

Json WorkerRequestJson(const WorkerRequest& request);

// Throws a Usage failure for an object that is no request.
WorkerRequest ParseWorkerRequest(const std::string& text);

}  // namespace korvid::cli
