#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/decimal_chars.h"

namespace waitline {

// The one writer of JSON: one line, keys in the order they are written,
// doubles in their shortest round-trip form, and null for a double that is
// not finite, which JSON cannot spell.
class JsonWriter {
public:
    void beginObject()
    {
        separate();
        out_ += '{';
        fresh_ = true;
    }
    void endObject()
    {
        out_ += '}';
        fresh_ = false;
    }
    void beginArray()
    {
        separate();
        out_ += '[';
        fresh_ = true;
    }
    void endArray()
    {
        out_ += ']';
        fresh_ = false;
    }

    void key(std::string_view name)
    {
        separate();
        string(name);
        out_ += ':';
        fresh_ = true;
    }
    void value(std::string_view text)
    {
        separate();
        string(text);
    }
    void value(const char* text) { value(std::string_view(text)); }
    void value(bool flag)
    {
        separate();
        out_ += flag ? "true" : "false";
    }
    void value(std::int64_t number)
    {
        separate();
        append(number);
    }
    void value(std::uint64_t number)
    {
        separate();
        append(number);
    }
    void value(int number) { value(static_cast<std::int64_t>(number)); }
    void value(double number)
    {
        separate();
        if (std::isfinite(number)) {
            append(number);
        } else {
            out_ += "null";
        }
    }
    void null()
    {
        separate();
        out_ += "null";
    }

    // A key and its value.
    template <typename Value>
    void member(std::string_view name, const Value& v)
    {
        key(name);
        value(v);
    }

    const std::string& text() const { return out_; }

private:
    void separate()
    {
        if (!fresh_) {
            out_ += ',';
        }
        fresh_ = false;
    }
    template <typename Number>
    void append(Number number)
    {
        char buffer[64];
        std::to_chars_result result{};
        if constexpr (std::is_floating_point_v<Number>) {
            result = chars::ToChars(buffer, buffer + sizeof buffer, number);
        } else {
            result = std::to_chars(buffer, buffer + sizeof buffer, number);
        }
        out_.append(buffer, result.ptr);
    }
    void string(std::string_view text)
    {
        out_ += '"';
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (byte < 0x20) {
                static const char* const kHex = "0123456789abcdef";
                out_ += "\\u00";
                out_ += kHex[byte >> 4U];
                out_ += kHex[byte & 0xFU];
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }

    std::string out_;
    bool fresh_ = true;
};

}  // namespace waitline
