#include "ui/common/text.h"

#include <QCoreApplication>
#include <QStringList>

#include <string>

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

QString Translated(const char* context, std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const std::string source(text);
    return QCoreApplication::translate(context, source.c_str());
}

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

QString WindowTitle(const QString& what)
{
    const QString name = QStringLiteral(WAITLINE_NAME);
    return what.isEmpty() ? name : name + QStringLiteral(" \u2013 ") + what;
}

QString ToolTipText(const QString& text)
{
    constexpr qsizetype kLine = 40;
    QString wrapped;
    qsizetype lineLength = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > kLine) {
            wrapped += QLatin1Char('\n');
            lineLength = 0;
        } else if (lineLength > 0) {
            wrapped += QLatin1Char(' ');
            ++lineLength;
        }
        wrapped += word;
        lineLength += word.size();
    }
    return wrapped;
}

}  // namespace waitline
