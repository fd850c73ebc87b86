// A comparison that runs out of memory ends with a status that names the
// files, never with a crash or a report with rows left out.
#include "textcompare/CompareFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

#include "EngineTestSupport.h"

namespace {

// The address space the process uses now, in bytes.
std::size_t AddressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * 4096;
}

// In a child process: compares under an address space limit of `slack` bytes
// more than in use, and exits 0 when the comparison ran out of memory and said
// so, 1 when it compared and wrote `expected`, 2 for anything else.
[[noreturn]] void CompareUnderLimit(const std::string& p1, const std::string& p2, std::size_t slack,
                                    const std::string& expected)
{
    enginetest::StringSink sink;
    const rlimit limit{AddressSpaceInUse() + slack, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::_Exit(2);
    const CompareOutcome outcome = CompareFiles(p1, p2, CompareOptions(), sink);
    if (outcome.status == CompareStatus::OutOfMemory && outcome.message.find(p1) != std::string::npos &&
        outcome.message.find(p2) != std::string::npos && sink.text.empty())
        std::_Exit(0);
    if (outcome.status == CompareStatus::Compared && sink.text == expected)
        std::_Exit(1);
    std::_Exit(2);
}

TEST(MemoryLimit, RunningOutOfMemoryIsAStatusNamingBothFiles)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves far more address space than the limit leaves";
#endif
    GTEST_FLAG_SET(death_test_style, "fast");
    enginetest::DumpPair files;
    std::string old;
    std::string updated;
    for (int i = 0; i < 200000; ++i) {
        const std::string row = std::to_string(i) + ",\"" + std::string(60, 'v') + "\"\r\n";
        old += row;
        updated += i == 1000 ? "changed\r\n" : row;
    }
    const std::string expected = "|<<1000,\"" + std::string(60, 'v') + "\"\r\n||>>changed\r\n";
    ASSERT_EQ(files.Compare(old, updated), expected);
    // Too little for the files: out of memory, said as such.
    EXPECT_EXIT(CompareUnderLimit(files.Path1(), files.Path2(), std::size_t(4) << 20, expected),
                ::testing::ExitedWithCode(0), "");
    // Whichever step the memory runs out in, the comparison says so or compares fully.
    const auto saidOrCompared = [](int status) { return WIFEXITED(status) && WEXITSTATUS(status) <= 1; };
    for (std::size_t slack = std::size_t(8) << 20; slack <= (std::size_t(64) << 20); slack += std::size_t(4) << 20)
        EXPECT_EXIT(CompareUnderLimit(files.Path1(), files.Path2(), slack, expected), saidOrCompared, "")
            << "with " << (slack >> 20) << " MiB to spare";
    // With enough memory the same files compare fully.
    EXPECT_EXIT(CompareUnderLimit(files.Path1(), files.Path2(), std::size_t(1) << 30, expected),
                ::testing::ExitedWithCode(1), "");
}

} // namespace
