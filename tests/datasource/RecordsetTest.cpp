#include <gtest/gtest.h>

#include "DriverCases.h"
#include "RawOdbc.h"
#include "TestEnv.h"
#include "datasource/CDatabase.h"
#include "datasource/CRecordsetEx.h"
#include "datasource/DatabaseError.h"

namespace {

struct TypedValue {
    const char* column;
    std::string ddl;       // column type
    std::string literal;   // value inserted
    std::string text;      // text read back (empty with isNull)
    bool isNull = false;
};

std::vector<TypedValue> TypeMatrix(const DriverCase& d)
{
    const std::string longValue(10000, 'L');
    const bool maria = std::string(d.dsn) == testenv::kMariaDb;
    const bool pg = std::string(d.dsn) == testenv::kPostgres;
    return {
        {"c_int", "INTEGER", "-42", "-42"},
        {"c_dec", "DECIMAL(5,2)", "-123.45", "-123.45"},
        {"c_real", "REAL", "1.5", "1.5"},
        // Texts longer than the column's precision: a second read of a number
        // column returns garbage on the MariaDB connector.
        {"c_double17", "DOUBLE PRECISION", "0.30000000000000004",
         std::string(d.dsn) == testenv::kSqliteOld ? "0.3" : "0.30000000000000004"},
        // Read as a binary float: the drivers' own texts were -1.2345675e+06
        // (psqlODBC) and -1234570 (MariaDB, which lost a digit).
        {"c_float", pg ? "FLOAT4" : "FLOAT", "-1234567.5", "-1234567.5"},
        // PostgreSQL pads a CHAR value with blanks that are no part of it.
        {"c_char", "CHAR(5)", "'ab'", "ab"},
        {"c_varchar", "VARCHAR(20)", "'x,y \"z\"'", "x,y \"z\""},
        {"c_long", d.longText, "'" + longValue + "'", longValue},
        {"c_date", "DATE", "'2001-03-15'", "2001-03-15"},
        {"c_time", "TIME", "'10:20:30'", "10:20:30"},
        {"c_ts", d.timestamp, "'2001-03-15 10:20:30'", "2001-03-15 10:20:30"},
        {"c_bin", d.binary, d.binaryLiteral, "0x0102FF00"},
        {"c_null", "VARCHAR(10)", "NULL", "", true},
        {"c_binnull", d.binary, "NULL", "", true},
        // "0x" and not nothing: an empty last field of a dump line would be lost.
        {"c_binempty", d.binary, std::string(d.dsn) == testenv::kSqliteOld ? "X''" : "''", "0x"},
        {"c_empty", "VARCHAR(10)", "''", ""},
        {"c_uni", d.unicodeText, maria ? "N'Grüße ✓'" : "'Grüße ✓'", "Grüße ✓"},
    };
}

class RecordsetOnDriver : public ::testing::TestWithParam<DriverCase> {
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA_SOURCES();
        ASSERT_TRUE(db.OpenDataSource(GetParam().dsn));
    }
    CDatabase db;
};

TEST_P(RecordsetOnDriver, ReadsEveryCommonTypeAsText)
{
    const DriverCase& d = GetParam();
    const auto matrix = TypeMatrix(d);
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "rs_types"));
    std::string create = "CREATE TABLE " + Quoted(d, "rs_types") + " (";
    std::string values;
    for (const auto& v : matrix) {
        create += std::string(&v == &matrix.front() ? "" : ", ") + v.column + " " + v.ddl;
        values += std::string(&v == &matrix.front() ? "" : ", ") + v.literal;
    }
    raw.Exec(create + ")");
    raw.Exec("INSERT INTO " + Quoted(d, "rs_types") + " VALUES (" + values + ")");

    CRecordsetEx rs(db);
    ASSERT_NO_THROW(rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT * FROM " + Quoted(d, "rs_types")));
    ASSERT_EQ(rs.GetColumnCount(), static_cast<int>(matrix.size()));
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_FALSE(rs.IsBOF());
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        EXPECT_EQ(rs.Columns()[i].name, matrix[i].column);
        std::string text = "stale";
        rs.GetFieldText(static_cast<int>(i), text);
        EXPECT_EQ(rs.m_bValueIsNull, matrix[i].isNull) << d.dsn << " " << matrix[i].column;
        EXPECT_EQ(text, matrix[i].text) << d.dsn << " " << matrix[i].column << " type "
                                        << rs.Columns()[i].sqlType;
    }
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.Close();  // a server keeps the table locked while the cursor is open
    raw.Exec("DROP TABLE " + Quoted(d, "rs_types"));
}

TEST_P(RecordsetOnDriver, DescribesColumns)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "rs_desc"));
    raw.Exec("CREATE TABLE " + Quoted(d, "rs_desc") +
             " (id INTEGER NOT NULL PRIMARY KEY, amount DECIMAL(7,3), name VARCHAR(25), note " + d.longText +
             ", born DATE, data " + d.binary + ")");
    CRecordsetEx rs(db);
    ASSERT_NO_THROW(rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT * FROM " + Quoted(d, "rs_desc")));
    const auto& c = rs.Columns();
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[0].sqlType, SQL_INTEGER);
    EXPECT_EQ(c[2].sqlType, SQL_VARCHAR);
    EXPECT_EQ(c[2].precision, 25u);
    EXPECT_TRUE(CRecordsetEx::IsLongType(c[3].sqlType)) << c[3].sqlType;
    EXPECT_EQ(c[4].sqlType, SQL_TYPE_DATE == c[4].sqlType ? SQL_TYPE_DATE : SQL_DATE);
    EXPECT_TRUE(CRecordsetEx::IsBinaryType(c[5].sqlType)) << c[5].sqlType;
    if (std::string(d.dsn) != testenv::kSqliteOld) {
        // SQLite's driver reports doubles for DECIMAL; the servers keep precision and scale.
        EXPECT_TRUE(c[1].sqlType == SQL_DECIMAL || c[1].sqlType == SQL_NUMERIC) << c[1].sqlType;
        EXPECT_EQ(c[1].precision, 7u);
        EXPECT_EQ(c[1].scale, 3);
    }
    // An empty result: BOF and EOF at once.
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(rs.IsEOF());
    rs.Close();
    raw.Exec("DROP TABLE " + Quoted(d, "rs_desc"));
}

TEST_P(RecordsetOnDriver, GetColumnsTakesTheBracketedTableName)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "Rs Cols"));
    raw.Exec("CREATE TABLE " + Quoted(d, "Rs Cols") + " (id INTEGER NOT NULL, v VARCHAR(10))");
    raw.Exec("INSERT INTO " + Quoted(d, "Rs Cols") + " VALUES (1, 'a')");
    CRecordsetEx rs(db);
    std::vector<ColumnInfo> columns(3);
    rs.GetColumns("[Rs Cols]", columns);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, "id");
    EXPECT_EQ(columns[1].name, "v");
    EXPECT_EQ(columns[1].sqlType, SQL_VARCHAR);
    EXPECT_FALSE(rs.IsOpen());
    raw.Exec("DROP TABLE " + Quoted(d, "Rs Cols"));
}

TEST_P(RecordsetOnDriver, StatementsWithoutResultSetCountTheirRows)
{
    const DriverCase& d = GetParam();
    rawodbc::Connection raw(d.dsn);
    raw.ExecIgnoringErrors("DROP TABLE " + Quoted(d, "rs_exec"));
    raw.Exec("CREATE TABLE " + Quoted(d, "rs_exec") + " (id INTEGER NOT NULL, v VARCHAR(10))");
    CRecordsetEx rs(db);
    EXPECT_EQ(rs.m_lRowsAffected, 0);
    const std::string t = Quoted(d, "rs_exec");
    ASSERT_NO_THROW(rs.ExecuteDirect("INSERT INTO " + t + " VALUES (1,'a')"));
    EXPECT_EQ(rs.m_lRowsAffected, 1);
    EXPECT_EQ(rs.GetColumnCount(), 0);
    EXPECT_FALSE(rs.IsOpen());
    ASSERT_NO_THROW(rs.ExecuteDirect("INSERT INTO " + t + " VALUES (2,'a')"));
    ASSERT_NO_THROW(rs.ExecuteDirect("INSERT INTO " + t + " VALUES (3,'a')"));
    ASSERT_NO_THROW(rs.ExecuteDirect("UPDATE " + t + " SET v='b' WHERE v='a'"));
    EXPECT_EQ(rs.m_lRowsAffected, 3);
    ASSERT_NO_THROW(rs.ExecuteDirect("DELETE FROM " + t + " WHERE id=99"));
    EXPECT_EQ(rs.m_lRowsAffected, 0);
    raw.Exec("DROP TABLE " + t);
}

TEST_P(RecordsetOnDriver, ErrorsCarryTheDriverTextAndCloseTheStatement)
{
    CRecordsetEx rs(db);
    try {
        rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT * FROM no_such_table_here");
        FAIL() << "no error raised";
    } catch (const DatabaseError& e) {
        EXPECT_NE(e.Message().find("no_such_table_here"), std::string::npos) << e.Message();
        EXPECT_EQ(e.StateText().rfind("State:", 0), 0u);
    }
    EXPECT_FALSE(rs.IsOpen());
    // The same object opens again afterwards.
    ASSERT_NO_THROW(rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT 1"));
    std::string text;
    rs.GetFieldText(0, text);
    EXPECT_EQ(text, "1");
    // An index equal to the column count.
    EXPECT_THROW(rs.GetFieldText(1, text), FieldNotFoundError);
    EXPECT_THROW(rs.GetFieldText(-1, text), DatabaseError);
}

TEST_P(RecordsetOnDriver, DriverFactsDecideTheLiteralStrings)
{
    CRecordsetEx rs(db);
    EXPECT_FALSE(rs.m_bJetDriver);
    EXPECT_EQ(rs.m_strDatePrefix, "{d '");
    EXPECT_EQ(rs.m_strDateSuffix, "'}");
    EXPECT_EQ(rs.m_strTimePrefix, "{t '");
    EXPECT_EQ(rs.m_strTimeSuffix, "'}");
    EXPECT_EQ(rs.LiteralFacts().identifierQuote, GetParam().quote);
}

INSTANTIATE_TEST_SUITE_P(Drivers, RecordsetOnDriver, ::testing::ValuesIn(AllDrivers()),
                         [](const auto& info) { return std::string(info.param.dsn); });

} // namespace

namespace {

// Diagnostics are read whole, however long the driver's message is.
TEST(RecordsetErrors, KeepLongMessagesAndTheirState)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kPostgres));
    CRecordsetEx rs(db);
    const std::string marker(3000, 'x');
    try {
        rs.ExecuteDirect("DO $$ BEGIN RAISE EXCEPTION 'start %end', repeat('x', 3000) USING ERRCODE = '22012'; END $$");
        FAIL() << "no error raised";
    } catch (const DatabaseError& e) {
        EXPECT_NE(e.Message().find("start " + marker + "end"), std::string::npos) << e.Message().size();
        EXPECT_EQ(e.state(), "22012");
        EXPECT_EQ(e.StateText().rfind("State:22012,Native:" + std::to_string(e.native()), 0), 0u);
    }
}

TEST(RecordsetErrors, AClosedConnectionRaisesInsteadOfReturning)
{
    REQUIRE_TEST_DATA_SOURCES();
    CDatabase db;
    ASSERT_TRUE(db.OpenDataSource(testenv::kSqliteOld));
    CRecordsetEx rs(db);
    db.Close();
    try {
        rs.OpenQuery(CRecordsetEx::forwardOnly, "SELECT 1");
        FAIL() << "no error raised";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.state(), "08003");
    }
    EXPECT_FALSE(rs.IsOpen());
}

} // namespace
