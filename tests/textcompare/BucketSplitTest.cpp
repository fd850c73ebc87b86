// Splitting a dump into buckets: rows that the comparison pairs share a
// bucket, and the buckets hold the rows of the line store, each once, in file
// order, whatever the read buffer.
#include "textcompare/BucketHash.h"
#include "textcompare/BucketSplitter.h"
#include "textcompare/LineStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

struct KeyCase {
    const char* name;
    std::string row1;
    std::string row2;
    std::vector<std::int32_t> keyColumns;
    LineRules rules;
    bool sameBucket;  // whether the key hashes are equal
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeyHash : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyHash, RowsWithEqualKeysUnderTheRulesHashAlike)
{
    const KeyCase& c = GetParam();
    BucketHasher hasher(c.rules, c.keyColumns);
    const std::uint64_t hash1 = hasher.KeyHash(c.row1);
    const std::uint64_t hash2 = hasher.KeyHash(c.row2);
    EXPECT_EQ(hash1 == hash2, c.sameBucket) << ::testing::PrintToString(c.row1) << " / "
                                            << ::testing::PrintToString(c.row2);
}

const LineRules kExact{false, false};
const LineRules kNoSpace{true, false};
const LineRules kNoCase{false, true};
const LineRules kNeither{true, true};

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyHash,
    ::testing::Values(
        KeyCase{"OtherValuesDoNotCount", "1,a,b\r\n", "1,x,y\r\n", {0}, kExact, true},
        KeyCase{"OtherKeysDiffer", "1,a\r\n", "2,a\r\n", {0}, kExact, false},
        KeyCase{"KeyOfTwoColumnsInTheirOrder", "1,2,x\r\n", "2,1,x\r\n", {0, 1}, kExact, false},
        KeyCase{"FieldBoundariesCount", "ab,,x\r\n", "a,b,x\r\n", {0, 1}, kExact, false},
        KeyCase{"TerminatorIsNoPartOfTheLastField", "1,a\r\n", "1,a", {1}, kExact, true},
        KeyCase{"LfAndCrLfEndTheSameField", "1,a\n", "1,a\r\n", {1}, kExact, true},
        KeyCase{"FieldsBeyondTheLastAreEmpty", "1\r\n", "1,,\r\n", {0, 2}, kExact, true},
        KeyCase{"CommaInQuotesIsData", "\"a,b\",1\r\n", "\"a,b\",2\r\n", {0}, kExact, true},
        KeyCase{"CommaInQuotesDoesNotSplit", "\"a,b\",1\r\n", "\"a,c\",1\r\n", {1}, kExact, true},
        KeyCase{"QuotedLineFeedIsData", "\"a\nb\",1\r\n", "\"a\nc\",1\r\n", {0}, kExact, false},
        KeyCase{"DoubledQuoteIsOneQuote", "\"say \"\"hi\"\"\",1\r\n", "\"say \"\"hi\"\"\",2\r\n", {0}, kExact, true},
        KeyCase{"QuotedAndBareValueAlike", "\"abc\",1\r\n", "abc,2\r\n", {0}, kExact, true},
        KeyCase{"CaseCountsWithoutTheOption", "Ab,1\r\n", "aB,1\r\n", {0}, kExact, false},
        KeyCase{"CaseFoldsWithTheOption", "Ab,1\r\n", "aB,2\r\n", {0}, kNoCase, true},
        KeyCase{"OnlyAsciiFolds", "\xc3\xa4,1\r\n", "\xc3\x84,1\r\n", {0}, kNoCase, false},
        KeyCase{"SpacesCountWithoutTheOption", "a b,1\r\n", "ab,1\r\n", {0}, kExact, false},
        KeyCase{"SpacesTabsCrsGoWithTheOption", " a\tb\r,1\r\n", "ab,2\n", {0}, kNoSpace, true},
        KeyCase{"SpaceBeforeAQuoteGoesFirst", "1, \"a,b\"\r\n", "1,\"a,b\"\r\n", {1}, kNoSpace, true},
        KeyCase{"BothOptions", " AB , x\r\n", "ab,y\r\n", {0}, kNeither, true},
        KeyCase{"WholeRowWithoutKey", "1, A\r\n", "1,a\n", {}, kNeither, true},
        KeyCase{"WholeRowDiffersWithoutKey", "1,a\r\n", "1,b\r\n", {}, kNeither, false},
        KeyCase{"NegativeColumnsAreNoKey", "1,a\r\n", "1,b\r\n", {-1}, kExact, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// Rows with quoted commas, quotes and line feeds, CR LF and LF, and a last row
// without a terminator.
std::string TrickyDump()
{
    static const char* const kValues[] = {"x", "\"a,b\"", "\"two\nlines\"", "\"say \"\"hi\"\"\"", "", " y z "};
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += std::to_string(i % 37) + "," + kValues[i % 6] + "," + kValues[(i / 6) % 6];
        text += i % 5 == 0 ? "\n" : "\r\n";
    }
    return text + "last,\"open";
}

TEST(BucketSplitter, BucketsHoldTheLineStoresRowsInFileOrderWhateverTheBuffer)
{
    enginetest::DumpPair files;
    const std::string source = TrickyDump();
    testenv::WriteFile(files.Path1(), source);
    FileLines whole;
    std::string error;
    ASSERT_EQ(whole.Load(files.Path1(), LineRules(), error), FileLines::LoadResult::Loaded) << error;

    for (const std::size_t readBytes : {std::size_t(1), std::size_t(7), std::size_t(64), std::size_t(1) << 20}) {
        std::vector<std::string> paths;
        for (int b = 0; b < 5; ++b)
            paths.push_back(files.Path1() + ".part" + std::to_string(b));
        BucketHasher hasher(LineRules{true, true}, {0});
        std::atomic<bool> stop{false};
        std::atomic<std::uint64_t> bytes{0};
        const BucketSplit split = SplitIntoBuckets(
            files.Path1(), paths, [&](std::string_view row) { return BucketOf(hasher.KeyHash(row), paths.size()); },
            stop, bytes, readBytes);
        ASSERT_EQ(split.status, BucketSplit::Status::Split) << split.error;
        EXPECT_EQ(bytes.load(), source.size());

        // Each row of the file in the bucket its key names, in file order.
        std::vector<std::vector<std::string>> expected(paths.size());
        for (LineIndex line = 0; line < whole.Count(); ++line) {
            const std::string row(whole.Text(line));
            expected[BucketOf(hasher.KeyHash(row), paths.size())].push_back(row);
        }
        for (std::size_t b = 0; b < paths.size(); ++b) {
            FileLines bucket;
            ASSERT_EQ(bucket.Load(paths[b], LineRules(), error), FileLines::LoadResult::Loaded) << error;
            std::vector<std::string> rows;
            for (LineIndex line = 0; line < bucket.Count(); ++line)
                rows.emplace_back(bucket.Text(line));
            EXPECT_EQ(rows, expected[b]) << "bucket " << b << " reading " << readBytes << " bytes at a time";
            EXPECT_EQ(split.buckets[b].lines, expected[b].size());
            EXPECT_EQ(split.buckets[b].bytes, testenv::ReadFile(paths[b]).size());
        }
    }
}

TEST(BucketSplitter, FailuresAreStatusesWithTheSystemsReason)
{
    enginetest::DumpPair files;
    testenv::WriteFile(files.Path1(), "1,a\r\n2,b\r\n");
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> bytes{0};
    const BucketChooser first = [](std::string_view) { return std::size_t(0); };

    const BucketSplit missing = SplitIntoBuckets(files.Path2(), {files.Path1() + ".part0"}, first, stop, bytes);
    EXPECT_EQ(missing.status, BucketSplit::Status::CannotRead);
    EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;

    const std::string nowhere = (files.Dir().path() / "no-such-folder" / "x.part0").string();
    const BucketSplit unwritable = SplitIntoBuckets(files.Path1(), {nowhere}, first, stop, bytes);
    EXPECT_EQ(unwritable.status, BucketSplit::Status::CannotWrite);
    EXPECT_NE(unwritable.error.find(nowhere), std::string::npos) << unwritable.error;

    stop = true;
    const BucketSplit stopped = SplitIntoBuckets(files.Path1(), {files.Path1() + ".part0"}, first, stop, bytes);
    EXPECT_EQ(stopped.status, BucketSplit::Status::Cancelled);
}

} // namespace
