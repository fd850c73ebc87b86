#pragma once
// How names of tables and columns are written into SQL for one data source;
// the only place that knows the rules.
//
// Generated statements name things in brackets, [name], a "]" of the name
// written "]]"; a complete statement then gets the data source's own quotes
// (RewriteBrackets). Queries that name one table or column at once (a dump's
// select) quote it directly (Quoted). Inside quotes, the quote character is
// written twice.
//
// MySQL and MariaDB get backquotes whatever the driver reports: under the
// sql_mode ANSI_QUOTES the MariaDB connector reports the double quote, which
// names a column only in such a session and is a string in any other (a
// statement kept for later, a script run by the client). Backquotes name it in
// every session.
#include <string>
#include <string_view>

#include "datasource/DriverFacts.h"

class IdentifierQuoting {
public:
    // No quoting: names go in as they are, bracketed names lose their brackets.
    IdentifierQuoting() = default;
    // `quote` is used when it is one character other than a blank. A data
    // source that reads [name] itself (`keepsBrackets`) gets generated
    // statements as they are.
    IdentifierQuoting(std::string quote, bool keepsBrackets);

    // The quote that the names of a data source get, from what its driver
    // reports (SQL_IDENTIFIER_QUOTE_CHAR): one character as it is, else a
    // blank for "no quoting"; a backquote on MySQL and MariaDB.
    static std::string QuoteFor(const std::string& reportedQuote, DbmsKind dbms);

    // The bracket form of generated SQL: "[" + name + "]", each "]" of the name written twice.
    static void AppendBracketed(std::string& out, std::string_view name);
    static std::string Bracketed(std::string_view name);
    // Whether a name comes through the bracket form as itself: the rewrite
    // reads "[[" as one bracket outside any name, so a name may not begin with "[".
    static bool CanBracket(std::string_view name);

    // Rewrites the brackets of a generated statement to this data source's
    // quotes (see the .cpp); nothing for a data source that keeps brackets.
    void RewriteBrackets(std::string& statement) const;

    // `name` in this data source's quotes, a quote inside it doubled; bare
    // when the data source has no quote.
    std::string Quoted(std::string_view name) const;

    // The quote character, or " " when names are not quoted.
    const std::string& Quote() const { return m_quote; }
    bool KeepsBrackets() const { return m_keepsBrackets; }

private:
    bool Quotes() const { return m_quote != " "; }

    std::string m_quote = " ";
    bool m_keepsBrackets = false;
};
