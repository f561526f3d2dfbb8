#include "worker_request.h"

namespace korvid::cli {
namespace {

using korvid::core::CodeFormat;

std::string FormatName(const std::optional<CodeFormat>& format) {
    if (!format) {
        return "";
    }
    return *format == CodeFormat::IntelHex ? "hex" : *format == CodeFormat::Binary ? "bin" : "kpj";
}

std::optional<CodeFormat> FormatOfName(const std::string& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    return name == "hex"   ? CodeFormat::IntelHex
           : name == "bin" ? CodeFormat::Binary
                           : CodeFormat::Project;
}

}  // namespace

Json WorkerRequestJson(const WorkerRequest& request) {
    const JobChoices& job = request.job;
    const korvid::core::SerialSettings& serial = request.store.serial;
    return Json{{"file", job.file},
                {"format", FormatName(job.format)},
                {"part", job.part ? Json(*job.part) : Json(nullptr)},
                {"options", job.options},
                {"data", job.area == LoadArea::Data},
                {"address", job.address ? Json(*job.address) : Json(nullptr)},
                {"truncate", job.truncate},
                {"hwwidl", job.hwwidl},
                {"hwps", job.hwps},
                {"store", request.store.store},
                {"maxCount", serial.maxCount},
                {"serialEnabled", serial.serialEnabled},
                {"autoIncrement", serial.autoIncrement},
                {"serialText", serial.serialText},
                {"serialNumber", serial.serialNumber},
                {"serialAddress", serial.serialAddress},
                {"serialAddressGiven", request.store.serialAddressGiven},
                {"updateFirmware", request.policy == FirmwarePolicy::Update},
                {"location", request.location},
                {"codeLength", request.codeLength},
                {"checksum", request.checksum}};
}

WorkerRequest ParseWorkerRequest(const std::string& text) {
    try {
        const Json object = Json::parse(text);
        WorkerRequest request;
        JobChoices& job = request.job;
        job.file = object.at("file").get<std::string>();
        job.format = FormatOfName(object.at("format").get<std::string>());
        if (!object.at("part").is_null()) {
            job.part = object.at("part").get<std::string>();
        }
        job.options = object.at("options").get<std::vector<std::string>>();
        job.area = object.at("data").get<bool>() ? LoadArea::Data : LoadArea::Code;
        if (!object.at("address").is_null()) {
            job.address = object.at("address").get<uint32_t>();
        }
        job.truncate = object.at("truncate").get<bool>();
        job.hwwidl = object.at("hwwidl").get<std::string>();
        job.hwps = object.at("hwps").get<std::string>();
        request.store.store = object.at("store").get<bool>();
        korvid::core::SerialSettings& serial = request.store.serial;
        serial.maxCount = object.at("maxCount").get<int64_t>();
        serial.serialEnabled = object.at("serialEnabled").get<bool>();
        serial.autoIncrement = object.at("autoIncrement").get<bool>();
        serial.serialText = object.at("serialText").get<std::string>();
        serial.serialNumber = object.at("serialNumber").get<uint32_t>();
        serial.serialAddress = object.at("serialAddress").get<uint32_t>();
        request.store.serialAddressGiven = object.at("serialAddressGiven").get<bool>();
        request.policy = object.at("updateFirmware").get<bool>() ? FirmwarePolicy::Update
                                                                 : FirmwarePolicy::Refuse;
        request.location = object.at("location").get<std::string>();
        request.codeLength = object.at("codeLength").get<uint32_t>();
        request.checksum = object.at("checksum").get<std::string>();
        return request;
    } catch (const Json::exception& error) {
        throw CommandFailure(ExitStatus::Usage,
                             std::string("not a worker request: ") + error.what());
    }
}

}  // namespace korvid::cli
