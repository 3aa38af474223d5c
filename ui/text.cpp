#include "ui/text.h"

namespace waitline {

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0x80U) != 0) {
            return false;
        }
    }
    return true;
}

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

bool SameText(const QString& shown, std::string_view text)
{
    if (!IsAscii(text)) {
        return shown == ToQString(text);
    }
    if (shown.size() != static_cast<qsizetype>(text.size())) {
        return false;
    }
    const QChar* chars = shown.constData();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (chars[i].unicode() != static_cast<char16_t>(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace waitline
