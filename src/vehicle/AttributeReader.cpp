#include "AttributeReader.h"

#include "ErrorNumbers.h"
#include "Sorvik3.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace TavrinKwp {

void AttributeReader::fail(int line, const std::string& what) const
{
    // No position is better than a made-up one: a file that cannot be opened has no line.
    const std::string where = line > 0 ? file_ + ":" + std::to_string(line) : file_;
    throw sessionError(SessionError::BadDescription, where + ": " + what);
}

void AttributeReader::fail(TavrinXml::Node node, const std::string& what) const
{
    fail(TavrinXml::line(node), what);
}

std::string AttributeReader::required(TavrinXml::Node node, const char* name) const
{
    auto value = TavrinXml::attribute(node, name);
    if (!value) fail(node, "<" + TavrinXml::name(node) + "> lacks the attribute '" + name + "'");
    return *value;
}

std::string AttributeReader::text(TavrinXml::Node node, const char* name, const std::string& fallback) const
{
    return TavrinXml::attribute(node, name).value_or(fallback);
}

int64_t AttributeReader::integer(TavrinXml::Node node, const char* name, int64_t low, int64_t high) const
{
    const std::string value = required(node, name);
    const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    // Only what the format writes: digits and a minus, no blanks or plus signs; a
    // negative where none is allowed is then told as out of range, not as no integer.
    const bool negative = !hex && !value.empty() && value[0] == '-';
    const char* first = value.data() + (hex ? 2 : 0);
    const char* last = value.data() + value.size();
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, hex ? 16 : 10);
    const bool digits = end == last && first != last && (negative || *first != '-');
    // Digits too many for any field: a number, just out of range.
    const bool tooLarge = digits && error == std::errc::result_out_of_range;
    if (!tooLarge && !(digits && error == std::errc())) {
        fail(node, std::string("attribute '") + name + "' is not an integer: '" + value + "'");
    }
    if (tooLarge || parsed < low || parsed > high || (negative && low >= 0)) {
        fail(node, std::string("attribute '") + name + "' = " + value + " is out of range " + std::to_string(low) +
                       " to " + std::to_string(high));
    }
    return parsed;
}

int64_t AttributeReader::integerOr(TavrinXml::Node node, const char* name, int64_t fallback, int64_t low,
                                   int64_t high) const
{
    return TavrinXml::attribute(node, name) ? integer(node, name, low, high) : fallback;
}

int32_t AttributeReader::int32(TavrinXml::Node node, const char* name) const
{
    return static_cast<int32_t>(
        integer(node, name, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

double AttributeReader::number(TavrinXml::Node node, const char* name, double fallback) const
{
    auto value = TavrinXml::attribute(node, name);
    if (!value) return fallback;
    // from_chars ignores the process locale, which a Qt host sets from the user's.
    double parsed = 0.0;
    const char* first = value->data();
    const char* last = first + value->size();
    auto [end, error] = std::from_chars(first, last, parsed);
    if (!value->empty() && end == last && error == std::errc::result_out_of_range)
        fail(node, std::string("attribute '") + name + "' = " + *value + " is out of range");
    if (value->empty() || error != std::errc() || end != last || !std::isfinite(parsed)) {
        fail(node, std::string("attribute '") + name + "' is not a number: '" + *value + "'");
    }
    return parsed;
}

bool AttributeReader::boolean(TavrinXml::Node node, const char* name, bool fallback) const
{
    auto value = TavrinXml::attribute(node, name);
    if (!value) return fallback;
    if (*value == "true") return true;
    if (*value == "false") return false;
    fail(node, std::string("attribute '") + name + "' must be true or false, not '" + *value + "'");
}

}  // namespace TavrinKwp
