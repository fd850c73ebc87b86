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
#include "textcompare/CompareReport.h"
#include "textcompare/CompareSettings.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE1 FILE2 MERGEFILE [--ignore-whitespace] [--ignore-case]\n", argv[0]);
        return 2;
    }
    long pumps = 0;
    SetMessagePump([&pumps] { ++pumps; });  // stands in for the GUI's event processing

    CompareSettings settings;
    settings.m_bWriteCommonSections = 0;
    settings.m_strFile1Path = argv[1];
    settings.m_strFile2Path = argv[2];
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore-whitespace") == 0)
            settings.m_bIgnoreWhitespace = 1;
        else if (std::strcmp(argv[i], "--ignore-case") == 0)
            settings.m_bIgnoreCase = 1;
    }

    const auto start = std::chrono::steady_clock::now();
    OutputFile merge(argv[3], OutputFile::Mode::Untranslated);
    const int result = CompareFiles(settings, merge);
    merge.Close();
    const auto compared = std::chrono::steady_clock::now();
    ReleaseContext(settings.m_context);
    const auto released = std::chrono::steady_clock::now();

    const auto seconds = [](auto d) { return std::chrono::duration<double>(d).count(); };
    std::printf("result %d compare %.3f s release %.3f s pumps %ld\n", result, seconds(compared - start),
                seconds(released - compared), pumps);
    return result == 1 ? 0 : 1;
}
