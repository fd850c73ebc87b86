#include "app/FormatConversions.h"

#include <cctype>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Skips a field width or precision; a "*" reads an int argument.
void SkipCount(const std::string& text, std::size_t& i, std::vector<std::string>& arguments)
{
    if (i < text.size() && text[i] == '*') {
        arguments.push_back("int");
        ++i;
        return;
    }
    while (i < text.size() && IsDigit(text[i]))
        ++i;
}

// The argument kind of a conversion character under a length modifier; empty
// for a character that is no conversion (or one that must not be used).
std::string ArgumentKind(const std::string& length, char conversion)
{
    if (std::strchr("diouxXc", conversion)) {
        // Signed and unsigned of one width are passed alike.
        if (conversion == 'c')
            return length == "l" ? "wide char" : "int";
        return length.empty() ? "int" : length + " int";
    }
    if (std::strchr("eEfFgGaA", conversion))
        return length == "L" ? "long double" : "double";  // "l" changes nothing for these
    if (conversion == 's')
        return length == "l" ? "wide string" : "string";
    if (conversion == 'p')
        return "pointer";
    return {};
}

} // namespace

std::optional<std::vector<std::string>> FormatConversions(const std::string& format)
{
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        // An argument position ("%2$d") changes the order the arguments are
        // read in: keep it in the kind so that it must match too.
        std::string position;
        std::size_t digits = i;
        while (digits < format.size() && IsDigit(format[digits]))
            ++digits;
        if (digits > i && digits < format.size() && format[digits] == '$') {
            position = format.substr(i, digits - i + 1);
            i = digits + 1;
        }
        while (i < format.size() && std::strchr("-+ #0'", format[i]))
            ++i;
        SkipCount(format, i, arguments);
        if (i < format.size() && format[i] == '.') {
            ++i;
            SkipCount(format, i, arguments);
        }
        std::string length;
        while (i < format.size() && std::strchr("hlLqjzt", format[i]))
            length += format[i++];
        if (i >= format.size())
            return std::nullopt;
        const std::string kind = ArgumentKind(length, format[i]);
        if (kind.empty())
            return std::nullopt;
        arguments.push_back(position + kind);
    }
    return arguments;
}

bool SameFormatConversions(const std::string& translated, const std::string& own)
{
    const auto ownArguments = FormatConversions(own);
    if (!ownArguments)
        return true;
    return FormatConversions(translated) == ownArguments;
}
