// The texts of the ISP-memory and IAP-memory lists and their tips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvid::workbench {

inline constexpr uint32_t kIapMemoryUnitBytes = 512;

// A part's comma-separated list of hexadecimal ISP-memory sizes, in list order.
// A token that holds no number counts as 0.
std::vector<uint32_t> ParseMemoryList(const char* list);

// "NA" for no ISP memory, otherwise the size in kilobytes ("%2.1f k").
std::string IspMemoryItemText(uint32_t sizeBytes);
// Item n of the IAP-memory list: n half kilobytes ("%2.1f k").
std::string IapMemoryItemText(uint32_t n);
// Items 0 to (flashSize - ispSize) / 512 of the IAP-memory list.
uint32_t IapMemoryItemCount(uint32_t flashSize, uint32_t ispSize);

// Tip of the ISP-memory list: the boot area at the top of the flash, or "NA".
std::string IspMemoryTip(uint32_t flashSize, uint32_t ispSize);
// Tip of the IAP-memory list for item n: the data area just below the boot area.
std::string IapMemoryTip(uint32_t flashSize, uint32_t ispSize, uint32_t n);

}  // namespace korvid::workbench
