#include "DisplayText.h"

#include "version_text.h"

#include <QByteArray>
#include <QStringDecoder>

#include <cstring>

namespace korvid::workbench {

QString Shown(const TextPair& pair) {
    return QString::fromUtf8(pair.chinese);
}

QString DecodeCp936(const char* bytes, std::size_t capacity) {
    if (bytes == nullptr) {
        return {};
    }
    const void* nul = std::memchr(bytes, 0, capacity);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : capacity;
    QStringDecoder decoder("GBK");
    return decoder(QByteArrayView(bytes, static_cast<qsizetype>(length)));
}

QString DecodeCp936(const char* text) {
    return text == nullptr ? QString() : DecodeCp936(text, std::strlen(text));
}

QString FormatCaption(const QString& libraryName, uint16_t version) {
    return libraryName + " v" + QString::fromStdString(VersionText(version));
}

}  // namespace korvid::workbench
