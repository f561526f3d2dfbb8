// Turning the program's texts into what the window shows: the member of a
// TextPair in the program's display language, and the library's cp936 strings
// decoded.
#pragma once

#include "TextTable.h"
#include "display_language.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace korvid::workbench {

// The language every window, control, dialog and message shows its texts in,
// for the whole program; Chinese until it is set.
Language DisplayLanguage();
void SetDisplayLanguage(Language language);

// The member of the pair that the program shows.
QString Shown(const TextPair& pair);

// A text shown in language from, with the pair's member in it (its first
// occurrence) turned into the member of language to; other texts stay as they are.
QString SwapPairText(const QString& shown, const TextPair& pair, Language from, Language to);

// Decodes cp936 (GBK) bytes up to the first NUL, reading at most capacity bytes.
QString DecodeCp936(const char* bytes, std::size_t capacity);
// Decodes a NUL-terminated cp936 string; null gives an empty text.
QString DecodeCp936(const char* text);

// "%s v%X.%02X": the library name and its version's high and low byte.
QString FormatCaption(const QString& libraryName, uint16_t version);

}  // namespace korvid::workbench
