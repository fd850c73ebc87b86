#include "common/ResourceStrings.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "common/StringTableData.h"

namespace {
StringLoader& loader()
{
    static StringLoader l;
    return l;
}
} // namespace

void SetStringLoader(StringLoader l)
{
    loader() = std::move(l);
}

std::optional<std::string> BuiltInString(int id)
{
    for (const auto& entry : kBuiltInStrings)
        if (entry.id == id)
            return std::string(entry.text);
    return std::nullopt;
}

std::string LoadResourceString(int id)
{
    if (loader()) {
        if (auto text = loader()(id))
            return *text;
    }
    return BuiltInString(id).value_or(std::string());
}

std::string FormatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    return text;
}
