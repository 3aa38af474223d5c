#pragma once

#include <charconv>

// Floating-point std::to_chars and std::from_chars, which the C++ library of
// the web build (libc++ 13) lacks. Everywhere else these are the standard
// library's own; the fallback is built everywhere too, so that a test can hold
// it to the standard library over many values.
namespace waitline::chars {

// As std::to_chars and std::from_chars, from the C library's correctly
// rounded printf and strtod: the shortest text that reads back to the value,
// or the format and precision asked for.
std::to_chars_result FallbackToChars(char* first, char* last, double value);
std::to_chars_result FallbackToChars(char* first, char* last, double value, std::chars_format format);
std::to_chars_result FallbackToChars(char* first, char* last, double value, std::chars_format format, int precision);
std::from_chars_result FallbackFromChars(const char* first, const char* last, double& value);
std::from_chars_result FallbackFromChars(const char* first, const char* last, float& value);

#ifdef _LIBCPP_VERSION
inline constexpr bool kUsesFallback = true;
#else
inline constexpr bool kUsesFallback = false;
#endif

template <typename... Format>
std::to_chars_result ToChars(char* first, char* last, double value, Format... format)
{
    if constexpr (kUsesFallback) {
        return FallbackToChars(first, last, value, format...);
    } else {
        return std::to_chars(first, last, value, format...);
    }
}

template <typename Floating>
std::from_chars_result FromChars(const char* first, const char* last, Floating& value)
{
    if constexpr (kUsesFallback) {
        return FallbackFromChars(first, last, value);
    } else {
        return std::from_chars(first, last, value);
    }
}

}  // namespace waitline::chars
