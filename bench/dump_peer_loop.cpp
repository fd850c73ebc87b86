/* The peer of the dump benchmark: a minimal SQLExecDirect + SQLFetch + SQLGetData
 * loop that writes the same bytes as the program's dump for the benchmark table
 * (text columns in double quotes with inner double quotes doubled, NULL for SQL
 * NULL, CR LF line ends, floating-point values in their shortest exact text),
 * through one stdio buffer. Like the program it asks SQLite for its reals as
 * printf text with all their digits. Usage: dump_peer_loop DSN TABLE OUTFILE */
#include <sql.h>
#include <sqlext.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

static int quoted(SQLSMALLINT type)
{
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_LONGVARCHAR || type == SQL_WCHAR ||
           type == SQL_WVARCHAR || type == SQL_WLONGVARCHAR;
}

static int floating(SQLSMALLINT type)
{
    return type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_REAL;
}

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT st;
    SQLAllocEnv(&env);
    SQLAllocConnect(env, &dbc);
    char connect[512];
    snprintf(connect, sizeof connect, "DSN=%s", argv[1]);
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, 0, (SQLCHAR*)connect, SQL_NTS, 0, 0, 0, SQL_DRIVER_NOPROMPT)))
        return 1;
    SQLAllocStmt(dbc, &st);
    std::string sql = std::string("Select * from \"") + argv[2] + "\"";
    if (!SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)sql.c_str(), SQL_NTS)))
        return 1;
    SQLSMALLINT n = 0;
    SQLNumResultCols(st, &n);
    SQLSMALLINT types[64];
    FILE* out = fopen(argv[3], "wb");
    static char buffer[1 << 16];
    setvbuf(out, buffer, _IOFBF, sizeof buffer);
    std::string columns;
    for (SQLSMALLINT c = 1; c <= n && c <= 64; ++c) {
        SQLCHAR name[65];
        SQLSMALLINT nl, sc, nu;
        SQLULEN size;
        SQLDescribeCol(st, c, name, sizeof name, &nl, &types[c - 1], &size, &sc, &nu);
        fputs((char*)name, out);
        fputs(c < n ? "," : "\r\n", out);
        const std::string q = std::string("\"") + (char*)name + "\"";
        columns += c > 1 ? ", " : "";
        columns += floating(types[c - 1]) ? "CASE WHEN typeof(" + q + ") <> 'real' THEN " + q + " WHEN abs(" + q +
                                                ") < 1e100 THEN printf('%!.17g', " + q + ") ELSE printf('%!.20e', " +
                                                q + ") END"
                                          : q;
    }
    SQLFreeStmt(st, SQL_CLOSE);
    sql = "Select " + columns + " from \"" + argv[2] + "\"";
    if (!SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)sql.c_str(), SQL_NTS)))
        return 1;
    char value[4096];
    while (SQL_SUCCEEDED(SQLFetch(st))) {
        for (SQLSMALLINT c = 1; c <= n; ++c) {
            SQLLEN ind = 0;
            SQLGetData(st, c, SQL_C_CHAR, value, sizeof value, &ind);
            if (ind == SQL_NULL_DATA) {
                fputs("NULL", out);
            } else if (quoted(types[c - 1])) {
                putc('"', out);
                for (const char* p = value; *p; ++p) {
                    if (*p == '"')
                        putc('"', out);
                    putc(*p, out);
                }
                putc('"', out);
            } else if (floating(types[c - 1])) {
                double d = 0;
                std::from_chars(value, value + ind, d);
                char text[32];
                fwrite(text, 1, (size_t)(std::to_chars(text, text + sizeof text, d).ptr - text), out);
            } else {
                fwrite(value, 1, (size_t)ind, out);
            }
            if (c < n)
                putc(',', out);
        }
        fputs("\r\n", out);
    }
    fclose(out);
    SQLFreeStmt(st, SQL_DROP);
    SQLDisconnect(dbc);
    SQLFreeConnect(dbc);
    SQLFreeEnv(env);
    return 0;
}
