#include "datasource/WholeTableQuery.h"

#include <strings.h>

namespace {

constexpr const char kPrefix[] = "Select * from ";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;

bool Quoting(const std::string& quote)
{
    return !quote.empty() && quote != " ";
}

} // namespace

std::string SelectAllText(const std::string& table, const std::string& identifierQuote)
{
    if (!Quoting(identifierQuote))
        return kPrefix + table;
    // A quote character inside the name is doubled, the SQL way of writing it.
    std::string name;
    for (std::size_t i = 0; i < table.size();) {
        if (table.compare(i, identifierQuote.size(), identifierQuote) == 0) {
            name += identifierQuote + identifierQuote;
            i += identifierQuote.size();
        } else {
            name += table[i++];
        }
    }
    return kPrefix + identifierQuote + name + identifierQuote;
}

std::string TableOfSelectAll(const std::string& sql, const std::string& identifierQuote)
{
    if (sql.size() <= kPrefixLength || strncasecmp(sql.c_str(), kPrefix, kPrefixLength) != 0)
        return {};
    std::string name = sql.substr(kPrefixLength);
    const std::string& q = identifierQuote;
    if (!Quoting(q) || name.size() < 2 * q.size() || name.compare(0, q.size(), q) != 0 ||
        name.compare(name.size() - q.size(), q.size(), q) != 0)
        return name;
    name = name.substr(q.size(), name.size() - 2 * q.size());
    std::string plain;
    for (std::size_t i = 0; i < name.size();) {
        plain += name[i];
        // A doubled quote stands for one.
        if (name.compare(i, q.size(), q) == 0 && name.compare(i + q.size(), q.size(), q) == 0)
            i += 2 * q.size();
        else
            ++i;
    }
    return plain;
}
