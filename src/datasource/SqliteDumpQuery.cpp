#include "datasource/SqliteDumpQuery.h"

#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/AsciiNoCase.h"
#include "datasource/WholeTableQuery.h"

namespace {

// SQLite's own rules for the affinity a declared type gives a column.
enum class Affinity { text, numeric, integer, real, blob };

Affinity AffinityOf(const std::string& type)
{
    if (ContainsNoCase(type, "INT"))
        return Affinity::integer;
    if (ContainsNoCase(type, "CHAR") || ContainsNoCase(type, "CLOB") || ContainsNoCase(type, "TEXT"))
        return Affinity::text;
    if (type.empty() || ContainsNoCase(type, "BLOB"))
        return Affinity::blob;
    if (ContainsNoCase(type, "REAL") || ContainsNoCase(type, "FLOA") || ContainsNoCase(type, "DOUB"))
        return Affinity::real;
    return Affinity::numeric;
}

// The scale of "DECIMAL(12,2)"; -1 when the type gives none.
int DeclaredScale(const std::string& type)
{
    const std::size_t open = type.find('(');
    const std::size_t comma = type.find(',', open == std::string::npos ? type.size() : open);
    if (open == std::string::npos)
        return -1;
    if (comma == std::string::npos)
        return type.find(')', open) == std::string::npos ? -1 : 0;  // NUMERIC(10): no places
    return std::atoi(type.c_str() + comma + 1);
}

// A value that is neither text nor blob, as printf text with every digit of a
// real: SQLite renders a real with 15 digits. Its printf with the "!" flag
// gives 17, which read back to the same double below 1e100; above, its digits
// drift, and 21 of them are needed.
std::string RealText(const std::string& name)
{
    return "CASE WHEN abs(" + name + ") < 1e100 THEN printf('%!.17g', " + name + ") WHEN " + name +
           " IS NOT NULL THEN printf('%!.20e', " + name + ") END";
}

// A text as its bytes (rendered X'..' by the driver), a blob as "b" and its
// hex digits. In SQLite's order NULL < numbers < text < blob: comparisons tell
// the classes apart without a function call. The unary + takes the column's
// affinity away, which would otherwise try to make a number of '' every time.
std::string TextOrBlob(const std::string& name)
{
    return "(CASE WHEN +" + name + " >= X'' THEN 'b' || hex(" + name + ") ELSE CAST(" + name + " AS BLOB) END)";
}

DumpColumn PlanColumn(const SqliteDeclaredColumn& column, const std::string& name)
{
    DumpColumn reading;
    reading.fetch = FetchAs::text;
    reading.classInText = true;
    if (column.rowidAlias) {
        reading.classInText = false;
        reading.expression = name;
        return reading;
    }
    const Affinity affinity = AffinityOf(column.type);
    if (column.type.empty()) {
        // No declared type: every value keeps the class it came with.
        reading.family = ValueFamily::plain;
    } else if (affinity == Affinity::text) {
        // Only texts and blobs: an affinity of text turns numbers into text.
        reading.family = ValueFamily::text;
        reading.expression = TextOrBlob(name);
        return reading;
    } else if (ContainsNoCase(column.type, "BLOB") || ContainsNoCase(column.type, "BINARY")) {
        // Blobs as the driver renders them (X'..'), anything else behind its class letter.
        reading.family = ValueFamily::binary;
        reading.expression = "CASE WHEN +" + name + " >= X'' THEN " + name + " WHEN +" + name + " >= '' THEN 't' || hex(" +
                             name + ") WHEN typeof(" + name + ") = 'integer' THEN 'i' || " + name + " WHEN " + name +
                             " IS NOT NULL THEN 'r' || " + RealText(name) + " END";
        return reading;
    } else if (affinity == Affinity::real) {
        // Numbers are reals here: the affinity turns integers into reals.
        reading.family = ValueFamily::floating;
        reading.expression = "CASE WHEN +" + name + " >= '' THEN " + TextOrBlob(name) + " WHEN abs(" + name +
                             ") < 1e100 THEN printf('%!.17g', " + name + ") WHEN " + name +
                             " IS NOT NULL THEN printf('%!.20e', " + name + ") END";
        return reading;
    } else if (ContainsNoCase(column.type, "DATE") || ContainsNoCase(column.type, "TIME")) {
        // Dates are text or numbers (Unix times, Julian days), all written
        // unquoted. A blob here is taken for the text of its bytes: telling
        // it apart would cost every date a second comparison.
        reading.family = ValueFamily::temporal;
        reading.expression = "CASE WHEN +" + name + " >= '' THEN CAST(" + name + " AS BLOB) WHEN typeof(" + name +
                             ") = 'real' THEN " + RealText(name) + " ELSE " + name + " END";
        return reading;
    } else if (ContainsNoCase(column.type, "DEC") || ContainsNoCase(column.type, "NUM")) {
        reading.family = ValueFamily::exact;
        reading.scale = DeclaredScale(column.type);
    } else if (ContainsNoCase(column.type, "BOOL")) {
        reading.family = ValueFamily::boolean;
    }
    reading.expression = "CASE WHEN +" + name + " >= '' THEN " + TextOrBlob(name) + " WHEN typeof(" + name +
                         ") = 'real' THEN " + RealText(name) + " ELSE " + name + " END";
    return reading;
}

// The value of each digit of `v` (16 hexadecimal digits of either case): its
// low four bits, plus 9 for a letter (bit 6 set).
#if defined(__SSE2__)
__m128i DigitValues(__m128i v)
{
    const __m128i letter = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(0x40)), _mm_set1_epi8(0x40));
    return _mm_add_epi8(_mm_and_si128(v, _mm_set1_epi8(0x0F)), _mm_and_si128(letter, _mm_set1_epi8(9)));
}
#endif

// The bytes of hexadecimal digits (either case), into `bytes`: every text of
// a dump passes here, so sixteen digits go at a time where the processor can.
void DecodeHex(const char* digits, std::size_t count, std::string& bytes)
{
    const std::size_t size = count / 2;
    bytes.resize(size);
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());
    const auto* in = reinterpret_cast<const unsigned char*>(digits);
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        // A pair of digits is a 16-bit lane: the first digit in its low byte.
        const __m128i values = DigitValues(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i)));
        const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4);
        const __m128i low = _mm_srli_epi16(values, 8);
        const __m128i packed = _mm_packus_epi16(_mm_or_si128(high, low), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), packed);
    }
    // The last few bytes with the eight before them once more, where there are eight.
    if (i < size && size >= 8) {
        i = size - 8;
        const __m128i values = DigitValues(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i)));
        const __m128i high = _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4);
        const __m128i low = _mm_srli_epi16(values, 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i),
                         _mm_packus_epi16(_mm_or_si128(high, low), _mm_setzero_si128()));
        i = size;
    }
#endif
    for (; i < size; ++i) {
        const unsigned high = in[2 * i], low = in[2 * i + 1];
        out[i] = static_cast<unsigned char>(((high & 0xF) + 9 * (high >> 6)) << 4 | ((low & 0xF) + 9 * (low >> 6)));
    }
}

bool IsRendering(const std::string& value)
{
    return value.size() >= 3 && value[0] == 'X' && value[1] == '\'' && value.back() == '\'';
}

std::string StringLiteral(const std::string& text)
{
    std::string literal = "'";
    for (const char c : text) {
        if (c == '\'')
            literal += '\'';
        literal += c;
    }
    return literal + "'";
}

} // namespace

std::string SqliteDeclaredColumnsQuery(const std::string& table, bool tableList)
{
    const std::string name = StringLiteral(table);
    // A table WITHOUT ROWID has no rowid for its INTEGER PRIMARY KEY to stand for.
    const std::string hasRowids =
        tableList ? " AND ifnull((SELECT max(wr) FROM pragma_table_list WHERE name = " + name + "), 1) = 0" : " AND 0";
    // An INTEGER PRIMARY KEY DESC stands for no rowid and holds any value:
    // SQLite keeps it in an index of its own, as any other key.
    const std::string keyIndex = " AND NOT EXISTS (SELECT 1 FROM pragma_index_list(" + name + ") WHERE origin = 'pk')";
    // Hidden columns of virtual tables are not in Select *; generated ones are.
    return "SELECT x.name, x.type, x.pk = 1 AND upper(x.type) = 'INTEGER' AND "
           "(SELECT count(*) FROM pragma_table_xinfo(" + name + ") WHERE pk > 0) = 1" + hasRowids + keyIndex +
           " FROM pragma_table_xinfo(" + name + ") AS x WHERE x.hidden <> 1";
}

std::vector<DumpColumn> PlanSqliteDump(const std::vector<SqliteDeclaredColumn>& declared,
                                       const std::string& identifierQuote)
{
    std::vector<DumpColumn> columns;
    columns.reserve(declared.size());
    for (const SqliteDeclaredColumn& column : declared)
        columns.push_back(PlanColumn(column, QuotedIdentifier(column.name, identifierQuote)));
    return columns;
}

char DecodeSqliteValue(const DumpColumn& column, std::string& value, std::string& scratch)
{
    const bool binary = column.family == ValueFamily::binary;
    if (IsRendering(value)) {
        DecodeHex(value.data() + 2, value.size() - 3, scratch);
        value.swap(scratch);
        return binary ? 'b' : 't';
    }
    const char letter = value.empty() ? '\0' : value[0];
    if (binary && (letter == 't' || letter == 'i' || letter == 'r')) {
        if (letter == 't') {
            DecodeHex(value.data() + 1, value.size() - 1, scratch);
            value.swap(scratch);
        } else {
            value.erase(0, 1);
        }
        return letter;
    }
    if (!binary && letter == 'b') {
        DecodeHex(value.data() + 1, value.size() - 1, scratch);
        value.swap(scratch);
        return 'b';
    }
    return SqliteNumberClass(value);
}

char SqliteNumberClass(std::string_view text)
{
    return text.find_first_of(".eEIN") == std::string_view::npos ? 'i' : 'r';
}

bool SqliteTableSource::ReadableFromFile() const
{
    return !file.empty() && tables == "1" && mainTables == "1" && encoding == "UTF-8";
}

std::string SqliteTableSourceQuery(const std::string& table)
{
    const std::string name = StringLiteral(table);
    return "SELECT (SELECT file FROM pragma_database_list WHERE name = 'main'), "
           "(SELECT count(*) FROM pragma_table_list(" + name + ")), "
           "(SELECT count(*) FROM pragma_table_list(" + name + ") WHERE schema = 'main' AND type = 'table'), "
           "(SELECT schema_version FROM pragma_schema_version), (SELECT encoding FROM pragma_encoding), "
           "sqlite_source_id()";
}
