#include "DisplayText.h"

#include "version_text.h"

#include <QByteArray>
#include <QStringDecoder>

#include <cstring>

namespace korvid::workbench {
namespace {

Language displayLanguage = Language::Chinese;

}  // namespace

Language DisplayLanguage() {
    return displayLanguage;
}

void SetDisplayLanguage(Language language) {
    displayLanguage = language;
}

QString Shown(const TextPair& pair) {
    return QString::fromUtf8(PairText(pair, displayLanguage));
}

QString SwapPairText(const QString& shown, const TextPair& pair, Language from, Language to) {
    const QString old = QString::fromUtf8(PairText(pair, from));
    const qsizetype at = shown.indexOf(old);
    if (from == to || old.isEmpty() || at < 0) {
        return shown;
    }
    return shown.left(at) + QString::fromUtf8(PairText(pair, to)) + shown.mid(at + old.size());
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
