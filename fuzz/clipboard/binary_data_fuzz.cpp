// Feeds arbitrary bytes as a foreign "BinaryData" clipboard block to the parser
// and to a paste into a small buffer: nothing may be read or written outside
// the block or the buffer, and the caret must stay inside the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "hex_clipboard.h"
#include "hex_edit_core.h"

using namespace korvid::hexedit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> block(data, size);
    const std::span<const uint8_t> bytes = ParseBinaryDataBlock(block);
    if (!bytes.empty() && (bytes.data() < data || bytes.data() + bytes.size() > data + size)) {
        std::abort();
    }

    // The first input byte picks the buffer length and the paste position.
    const uint32_t length = size > 0 ? 1u + data[0] % 40u : 1u;
    std::vector<uint8_t> buffer(length, 0xEE);
    HexEditCore core;
    core.SetCharMetrics(8, 16);
    core.SetClientSize(300, 200);
    core.SetData(buffer.data(), length);
    if (size > 1) {
        core.SetSelection(data[1] % 48u, data[1] % 48u + 3u, true);
    }
    const uint32_t written = core.Paste(block);
    if (written > bytes.size() || core.GetDataSize() != length || core.Caret().offset >= length) {
        std::abort();
    }
    return 0;
}
