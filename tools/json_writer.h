#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace waitline {

// A small writer for one line of JSON: keys in the order they are written,
// doubles in their shortest round-trip form.
class JsonWriter {
public:
    void BeginObject()
    {
        Separate();
        out_ += '{';
        fresh_ = true;
    }
    void EndObject()
    {
        out_ += '}';
        fresh_ = false;
    }
    void BeginArray()
    {
        Separate();
        out_ += '[';
        fresh_ = true;
    }
    void EndArray()
    {
        out_ += ']';
        fresh_ = false;
    }

    void Key(std::string_view key)
    {
        Separate();
        String(key);
        out_ += ':';
        fresh_ = true;
    }
    void Value(std::string_view text)
    {
        Separate();
        String(text);
    }
    void Value(const char* text) { Value(std::string_view(text)); }
    void Value(bool value)
    {
        Separate();
        out_ += value ? "true" : "false";
    }
    void Value(std::int64_t value)
    {
        Separate();
        Append(value);
    }
    void Value(int value) { Value(static_cast<std::int64_t>(value)); }
    void Value(double value)
    {
        Separate();
        Append(value);
    }

    const std::string& Text() const { return out_; }

private:
    void Separate()
    {
        if (!fresh_) {
            out_ += ',';
        }
        fresh_ = false;
    }
    template <typename Number>
    void Append(Number value)
    {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.append(buffer, result.ptr);
    }
    void String(std::string_view text)
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
