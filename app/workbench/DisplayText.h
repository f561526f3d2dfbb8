// Turning the program's texts into what the window shows: the Chinese member of a
// TextPair, and the library's cp936 strings decoded.
#pragma once

#include "TextTable.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace korvid::workbench {

// The member of the pair that the program shows.
QString Shown(const TextPair& pair);

// Decodes cp936 (GBK) bytes up to the first NUL, reading at most capacity bytes.
QString DecodeCp936(const char* bytes, std::size_t capacity);
// Decodes a NUL-terminated cp936 string; null gives an empty text.
QString DecodeCp936(const char* text);

// "%s v%X.%02X": the library name and its version's high and low byte.
QString FormatCaption(const QString& libraryName, uint16_t version);

}  // namespace korvid::workbench
