// One spelling per type family, whatever text the driver delivered: the
// rules of the dump's value text, without a data source.
#include "datasource/ValueSpelling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datasource/DumpColumn.h"
#include "datasource/SqliteDumpQuery.h"

namespace {

struct TextCase {
    std::string in;
    std::string out;
};

void ExpectEach(void (*spell)(std::string&), const std::vector<TextCase>& cases)
{
    for (const auto& c : cases) {
        std::string text = c.in;
        spell(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(ValueSpelling, FractionsOfSecondsLoseTheirTrailingZeros)
{
    ExpectEach(ValueSpelling::TrimFractionZeros,
               {
                   {"2024-02-29 23:59:59.500000", "2024-02-29 23:59:59.5"},  // MariaDB DATETIME(6)
                   {"2024-02-29 23:59:59.000", "2024-02-29 23:59:59"},
                   {"2024-02-29 23:59:59.123456", "2024-02-29 23:59:59.123456"},
                   {"2024-02-29 23:59:59", "2024-02-29 23:59:59"},
                   {"-838:59:59.500000", "-838:59:59.5"},                     // a MariaDB TIME
                   {"10:20:30.250+02", "10:20:30.25+02"},                     // the offset stays
                   {"0001-01-01 00:00:00.10 BC", "0001-01-01 00:00:00.1 BC"}, // and the era
                   {"294276-12-31 23:59:59.999999", "294276-12-31 23:59:59.999999"},
                   {"2024-02-29", "2024-02-29"},
                   {"2460000.50", "2460000.50"},  // a Julian day is no time of day
                   {"infinity", "infinity"},
                   {"", ""},
               });
}

TEST(ValueSpelling, ExactNumbersGetTheirDeclaredScale)
{
    struct Case {
        std::string in;
        int scale;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"1.5", 2, "1.50"},   {"0", 2, "0.00"},       {"-12", 3, "-12.000"}, {"1.555", 2, "1.555"},
        {"1.50", 2, "1.50"},  {"7", 0, "7"},          {"7", -1, "7"},        {"NaN", 2, "NaN"},
        {"1e+22", 2, "1e+22"}, {"-0.5", 2, "-0.50"}, {"", 2, ""},           {"abc", 2, "abc"},
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        ValueSpelling::PadToScale(text, c.scale);
        EXPECT_EQ(text, c.out) << c.in << " at scale " << c.scale;
    }
}

TEST(ValueSpelling, UtcTimestampsCarryTheirOffset)
{
    ExpectEach(ValueSpelling::AppendUtcOffset, {
                                                   {"2024-02-29 23:59:59.5", "2024-02-29 23:59:59.5+00"},
                                                   {"4713-01-01 00:00:00 BC", "4713-01-01 00:00:00+00 BC"},
                                                   {"infinity", "infinity"},
                                                   {"-infinity", "-infinity"},
                                               });
}

TEST(ValueSpelling, BooleansAreOneOrZero)
{
    struct Case {
        std::string in;
        bool known;
        std::string out;
    };
    const std::vector<Case> cases = {{"1", true, "1"},     {"t", true, "1"},     {"TRUE", true, "1"},
                                     {"yes", true, "1"},   {"0", true, "0"},     {"f", true, "0"},
                                     {"false", true, "0"}, {"Off", true, "0"},   {"2", false, "2"},
                                     {"maybe", false, "maybe"}};
    for (const auto& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(ValueSpelling::SpellBoolean(text), c.known) << c.in;
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(ValueSpelling, BitsAreTheNumberTheyHold)
{
    EXPECT_EQ(ValueSpelling::BitsAsNumber(std::string(1, '\0')), "0");
    EXPECT_EQ(ValueSpelling::BitsAsNumber("\x05"), "5");
    EXPECT_EQ(ValueSpelling::BitsAsNumber(std::string("\x01\x00", 2)), "256");
    EXPECT_EQ(ValueSpelling::BitsAsNumber(std::string(8, '\xFF')), "18446744073709551615");
    EXPECT_EQ(ValueSpelling::BitsAsNumber(""), "0");
}

TEST(ValueSpelling, RealsWhereTheTypeDoesNotSaySoShowIt)
{
    ExpectEach(ValueSpelling::MarkAsReal, {{"2", "2.0"},
                                           {"-7", "-7.0"},
                                           {"1.5", "1.5"},
                                           {"1e+20", "1e+20"},
                                           {"Infinity", "Infinity"},
                                           {"-Infinity", "-Infinity"},
                                           {"NaN", "NaN"}});
}

// The dump text of one value: by its column's family where the driver tells
// no storage class, by the value's own class where it does (SQLite).
TEST(SpellValue, GivesEachFamilyAndStorageClassItsSpelling)
{
    auto column = [](ValueFamily family, FetchAs fetch = FetchAs::text, int scale = -1) {
        DumpColumn c;
        c.family = family;
        c.fetch = fetch;
        c.scale = scale;
        return c;
    };
    struct Case {
        const char* name;
        DumpColumn column;
        char storageClass;
        std::string in;
        std::string out;
        bool text;
    };
    const DumpColumn decimal = column(ValueFamily::exact, FetchAs::binary, 2);
    const DumpColumn untyped = column(ValueFamily::plain, FetchAs::binary);
    const DumpColumn real = column(ValueFamily::floating, FetchAs::binary);
    const DumpColumn temporal = column(ValueFamily::temporal, FetchAs::binary);
    const DumpColumn texts = column(ValueFamily::text, FetchAs::binary);
    const std::vector<Case> cases = {
        {"text", column(ValueFamily::text), StorageClass::none, "a,b", "a,b", true},
        {"text with a NUL byte", column(ValueFamily::text), StorageClass::none, std::string("a\0b", 3),
         std::string("a\0b", 3), true},
        {"a date as text with a NUL byte", column(ValueFamily::temporal), 't', std::string("1\0", 2),
         std::string("1\0", 2), true},
        {"padded CHAR", column(ValueFamily::paddedText), StorageClass::none, "ab   ", "ab", true},
        {"binary", column(ValueFamily::binary, FetchAs::binary), StorageClass::none, "\x01\xFF", "0x01FF", false},
        {"empty binary", column(ValueFamily::binary, FetchAs::binary), StorageClass::none, "", "0x", false},
        {"float read as text", column(ValueFamily::floating), StorageClass::none, "Inf", "Infinity", false},
        {"decimal as delivered", column(ValueFamily::exact), StorageClass::none, "1.50", "1.50", false},
        {"timestamp", column(ValueFamily::temporal), StorageClass::none, "2024-02-29 23:59:59.500000",
         "2024-02-29 23:59:59.5", false},
        {"timestamptz at UTC", column(ValueFamily::utcTimestamp), StorageClass::none, "2024-02-29 23:59:59.500",
         "2024-02-29 23:59:59.5+00", false},
        {"boolean", column(ValueFamily::boolean), StorageClass::none, "t", "1", false},
        {"bits", column(ValueFamily::bits, FetchAs::binary), StorageClass::none, std::string(1, '\0'), "0", false},
        {"plain", column(ValueFamily::plain), StorageClass::none, "-42", "-42", false},
        // SQLite: the value's storage class decides.
        {"a blob in a text column", texts, 'b', std::string("\0\xFF", 2), "0x00FF", false},
        {"a text that looks like a number", untyped, 't', "7", "7", true},
        {"an integer without type", untyped, 'i', "7", "7", false},
        {"a real without type", untyped, 'r', "1.0", "1.0", false},
        {"a real of many digits without type", untyped, 'r', "0.10000000000000001", "0.1", false},
        {"a text in a text column", texts, 't', "x", "x", true},
        {"a text in a real column", real, 't', "1.5x", "1.5x", true},
        {"a real in a real column", real, 'r', "1.0e+20", "1e+20", false},
        {"infinity in a real column", real, 'r', "Inf", "Infinity", false},
        {"an integer in a decimal column", decimal, 'i', "1", "1.00", false},
        {"a real in a decimal column", decimal, 'r', "1.5", "1.50", false},
        {"a large real in a decimal column", decimal, 'r', "1.0e+22", "10000000000000000000000.00", false},
        {"a decimal of many digits", decimal, 'r', "12.345000000000001", "12.345", false},
        {"a text in a decimal column", decimal, 't', "abc", "abc", true},
        {"a date as text", temporal, 't', "2024-02-29 23:59:59.500", "2024-02-29 23:59:59.5", false},
        {"a date as a number", temporal, 'i', "1700000000", "1700000000", false},
        {"a date as a Julian day", temporal, 'r', "2460000.5", "2460000.5", false},
    };
    std::string scratch;
    for (const auto& c : cases) {
        std::string value = c.in;
        EXPECT_EQ(SpellValue(c.column, c.storageClass, value, scratch) == FieldForm::quoted, c.text) << c.name;
        EXPECT_EQ(value, c.out) << c.name;
    }
}

// The texts the SQLite dump query gives (X'..' is the driver's rendering of a
// blob) back into the value and its storage class.
TEST(DecodeSqliteValue, TellsEachStorageClass)
{
    DumpColumn texts, blobs, others;
    texts.family = ValueFamily::text;
    blobs.family = ValueFamily::binary;
    others.family = ValueFamily::plain;
    struct Case {
        const char* name;
        const DumpColumn* column;
        std::string in;
        char storageClass;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"a text as its bytes", &texts, "X'61006263'", 't', std::string("a\0bc", 4)},
        {"an empty text", &texts, "X''", 't', ""},
        {"a blob in a text column", &texts, "b00ff", 'b', std::string("\0\xFF", 2)},
        {"a blob in a blob column", &blobs, "X'00FF'", 'b', std::string("\0\xFF", 2)},
        {"a text in a blob column", &blobs, "t6869", 't', "hi"},
        {"an integer in a blob column", &blobs, "i5", 'i', "5"},
        {"a real in a blob column", &blobs, "r1.5", 'r', "1.5"},
        {"an integer", &others, "-7", 'i', "-7"},
        {"a real", &others, "2.0", 'r', "2.0"},
        {"a large real", &others, "1.0e+20", 'r', "1.0e+20"},
        {"an infinite real", &others, "-Inf", 'r', "-Inf"},
        {"a text that reads X'..'", &others, "X'58273030464627'", 't', "X'00FF'"},
    };
    std::string scratch;
    for (const auto& c : cases) {
        std::string value = c.in;
        EXPECT_EQ(DecodeSqliteValue(*c.column, value, scratch), c.storageClass) << c.name;
        EXPECT_EQ(value, c.out) << c.name;
    }
}

} // namespace
