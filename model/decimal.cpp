// decimal.cpp — reading and writing decimal numbers without the locale.
#include "model/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

// Reading: the C++ library's conversion where it has one for real numbers;
// the browser's library lacks it, and there the C function serves, which
// reads a point there since its locale is always "C".
#if defined(__cpp_lib_to_chars)

bool ReadDecimal(std::string_view text, double& value) {
    double v = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = v;
    return true;
}

std::string DecimalText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

#else

bool ReadDecimal(std::string_view text, double& value) {
    // What the C++ conversion refuses, refused alike: an empty text, a
    // leading space or "+", hexadecimal numbers.
    if (text.empty() || text.size() > 400) return false;
    const char first = text.front();
    if (!(first == '-' || first == '.' || (first >= '0' && first <= '9') || first == 'i' || first == 'I' ||
          first == 'n' || first == 'N'))
        return false;
    if (text.find_first_of("xXpP") != std::string_view::npos) return false;
    const std::string copy(text);
    char* end = nullptr;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return false;
    value = v;
    return true;
}

std::string DecimalText(double value) {
    return DecimalTextC(value);
}

#endif

std::string DecimalTextC(double value) {
    if (!std::isfinite(value)) return std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                                        : (value < 0 ? "-inf" : "inf");
    // The fewest significant digits that read back as the same number …
    char scientific[64], fixed[400];
    int digits = 1;
    for (; digits < 17; ++digits) {
        std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
        if (std::strtod(scientific, nullptr) == value) break;
    }
    std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
    // … written with a point or with an exponent, whichever is shorter, the
    // point where both are as long ("10", not "1e+01"; "1e-05", not "0.00001").
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    const int places = std::max(0, digits - 1 - exponent);
    std::snprintf(fixed, sizeof fixed, "%.*f", places, value);
    return std::strlen(fixed) <= std::strlen(scientific) ? fixed : scientific;
}

namespace {

// A number rounded to `decimals` places, with the decimal sign given and,
// where wanted, points between groups of three digits from 10 000 on.
std::string FixedNumber(double value, int decimals, char sign, bool groups) {
    decimals = decimals < 0 ? 0 : decimals > 6 ? 6 : decimals;
    if (!(value == value)) return "?";
    double scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const double limit = 9e15;
    double scaled = value * scale;
    scaled = scaled > limit ? limit : scaled < -limit ? -limit : scaled;
    const long long units = std::llround(scaled);
    unsigned long long magnitude = units < 0 ? 0ULL - static_cast<unsigned long long>(units) : units;
    std::string digits = std::to_string(magnitude);
    if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - decimals);
    const std::string fraction = digits.substr(digits.size() - decimals);
    if (groups && whole.size() >= 5)
        for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3) whole.insert(at, ".");
    std::string out = units < 0 ? "-" : "";
    out += whole;
    if (decimals > 0) out += sign + fraction;
    return out;
}

}  // namespace

std::string GermanNumber(double value, int decimals) {
    return FixedNumber(value, decimals, ',', true);
}

std::string PointNumber(double value, int decimals) {
    return FixedNumber(value, decimals, '.', false);
}

namespace {

// The significant figures (without trailing zeros) of a magnitude rounded to
// `digits` of them, and the power of ten of the first.
void Figures(double magnitude, int digits, std::string& figures, int& exponent) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", digits - 1, magnitude);
    const char* e = std::strchr(text, 'e');
    exponent = std::atoi(e + 1);
    figures.clear();
    for (const char* c = text; c < e; ++c)
        if (*c >= '0' && *c <= '9') figures += *c;
    figures.erase(figures.find_last_not_of('0') + 1);
}

const char* const Superscript[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};

}  // namespace

std::string GermanDecimalText(double value, int digits) {
    digits = std::clamp(digits, 1, 17);
    if (!std::isfinite(value) || value == 0) return DecimalText(value);
    const std::string sign = value < 0 ? "-" : "";
    std::string figures;
    int exponent = 0;
    Figures(std::abs(value), digits, figures, exponent);
    const int n = static_cast<int>(figures.size());
    std::string plain;
    if (exponent < 0)
        plain = "0," + std::string(-exponent - 1, '0') + figures;
    else if (exponent + 1 >= n)
        plain = figures + std::string(exponent + 1 - n, '0');
    else
        plain = figures.substr(0, exponent + 1) + "," + figures.substr(exponent + 1);
    if (static_cast<int>(plain.size()) <= digits + 2) return sign + plain;
    // Too long written out: a power of ten, as a German textbook writes it,
    // times three figures, fewer where the power has more digits.
    for (int kept = std::min(digits, 3);;) {
        Figures(std::abs(value), kept, figures, exponent);
        const int wanted = std::max(1, 4 - static_cast<int>(std::to_string(std::abs(exponent)).size()));
        if (kept <= wanted) break;
        kept = wanted;
    }
    std::string text = sign + figures.substr(0, 1) + (figures.size() > 1 ? "," + figures.substr(1) : "") + "·10";
    if (exponent < 0) text += "⁻";
    for (char c : std::to_string(std::abs(exponent))) text += Superscript[c - '0'];
    return text;
}
