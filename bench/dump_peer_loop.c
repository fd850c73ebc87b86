/* The peer of the dump benchmark: a minimal SQLExecDirect + SQLFetch + SQLGetData
 * loop that writes the same bytes as the program's dump for the benchmark table
 * (text columns in double quotes, NULL for SQL NULL, CR LF line ends), through
 * one stdio buffer. Usage: dump_peer_loop DSN TABLE OUTFILE */
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>
#include <string.h>

static int quoted(SQLSMALLINT type)
{
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_LONGVARCHAR || type == SQL_WCHAR ||
           type == SQL_WVARCHAR || type == SQL_WLONGVARCHAR;
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
    char sql[512];
    snprintf(sql, sizeof sql, "Select * from \"%s\"", argv[2]);
    if (!SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)sql, SQL_NTS)))
        return 1;
    SQLSMALLINT n = 0;
    SQLNumResultCols(st, &n);
    SQLSMALLINT types[64];
    FILE* out = fopen(argv[3], "wb");
    static char buffer[1 << 16];
    setvbuf(out, buffer, _IOFBF, sizeof buffer);
    for (SQLSMALLINT c = 1; c <= n && c <= 64; ++c) {
        SQLCHAR name[65];
        SQLSMALLINT nl, sc, nu;
        SQLULEN size;
        SQLDescribeCol(st, c, name, sizeof name, &nl, &types[c - 1], &size, &sc, &nu);
        fputs((char*)name, out);
        fputs(c < n ? "," : "\r\n", out);
    }
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
                        fputs("''", out);
                    else
                        putc(*p, out);
                }
                putc('"', out);
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
