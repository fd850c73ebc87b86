// Runs the comparison engine on two files the way the compare run does (common
// lines not written, a message pump installed) and prints how long it took.
//
//   compare_driver FILE1 FILE2 MERGEFILE [--ignore-whitespace] [--ignore-case]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/OutputFileSink.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE1 FILE2 MERGEFILE [--ignore-whitespace] [--ignore-case]\n", argv[0]);
        return 2;
    }
    long pumps = 0;
    SetMessagePump([&pumps] { ++pumps; });  // stands in for the GUI's event processing

    CompareOptions options;  // common sections off, as the compare run has them
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore-whitespace") == 0)
            options.ignoreWhitespace = true;
        else if (std::strcmp(argv[i], "--ignore-case") == 0)
            options.ignoreCase = true;
    }

    const auto start = std::chrono::steady_clock::now();
    OutputFile merge(argv[3], OutputFile::Mode::Untranslated);
    OutputFileSink sink(merge);
    const CompareOutcome outcome = CompareFiles(argv[1], argv[2], options, sink);
    merge.Close();
    const auto compared = std::chrono::steady_clock::now();

    const auto seconds = [](auto d) { return std::chrono::duration<double>(d).count(); };
    std::printf("status %d removed %lld added %lld compare %.3f s pumps %ld\n", static_cast<int>(outcome.status),
                static_cast<long long>(outcome.removedLines), static_cast<long long>(outcome.addedLines),
                seconds(compared - start), pumps);
    if (outcome.status != CompareStatus::Compared)
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return outcome.status == CompareStatus::Compared ? 0 : 1;
}
