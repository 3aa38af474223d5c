#include "tools/terminal_text.h"

#include <array>
#include <cstdint>

namespace waitline {

namespace {

// The length of the UTF-8 sequence that begins at text[at], or 0 when the
// bytes there are not one. Overlong forms, surrogates and values past
// U+10FFFF are not UTF-8.
std::size_t Utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[at + k]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint32_t least = 0;
    std::uint32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, least = 0x80, value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, least = 0x800, value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, least = 0x10000, value = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0u) != 0x80u) {
            return 0;
        }
        value = (value << 6u) | (byte(k) & 0x3Fu);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    const bool c1Control = value >= 0x80 && value <= 0x9F;  // a terminal may act on these too
    if (value < least || value > 0x10FFFF || surrogate || c1Control) {
        return 0;
    }
    return length;
}

void AppendEscaped(std::string& out, std::uint8_t byte)
{
    switch (byte) {
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    case 0x1B: out += "\\e"; return;
    case '\\': out += "\\\\"; return;
    default: break;
    }
    constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += "\\x";
    out += kHex[byte >> 4u];
    out += kHex[byte & 0x0Fu];
}

}  // namespace

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[at]);
        if (byte >= 0x80) {
            if (const std::size_t length = Utf8Length(text, at); length > 0) {
                out.append(text.substr(at, length));
                at += length;
                continue;
            }
        }
        if (byte < 0x20 || byte >= 0x7F || byte == '\\') {
            AppendEscaped(out, byte);
        } else {
            out += static_cast<char>(byte);
        }
        ++at;
    }
    return out;
}

std::string Quoted(std::string_view text) { return "'" + Printable(text) + "'"; }

bool WriteWhole(std::FILE* stream, std::string_view text)
{
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), stream);
    return std::fflush(stream) == 0 && written == text.size() && std::ferror(stream) == 0;
}

}  // namespace waitline
