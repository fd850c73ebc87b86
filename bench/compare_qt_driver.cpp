// Runs the comparison engine inside a Qt application, with the message pump and
// the wait cursor bound the way the program binds them (src/app/QtHooks.cpp),
// and a window up that repaints while the engine drains the queue. Run beside
// compare_driver on the same files, it shows what the user interface costs the
// engine.
//
//   compare_qt_driver FILE1 FILE2 MERGEFILE [--no-pump]
#include <QApplication>
#include <QCursor>
#include <QLabel>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "common/OutputFile.h"
#include "common/UiHooks.h"
#include "textcompare/CompareFiles.h"
#include "textcompare/OutputFileSink.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE1 FILE2 MERGEFILE [--no-pump]\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    const bool pump = !(argc > 4 && std::strcmp(argv[4], "--no-pump") == 0);
    long pumps = 0;
    if (pump) {
        SetMessagePump([&pumps] {
            ++pumps;
            if (!QCoreApplication::closingDown())
                QCoreApplication::processEvents(QEventLoop::AllEvents);
        });
    }
    SetWaitCursorHooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                       [] { QApplication::restoreOverrideCursor(); });
    QLabel window("Comparing ...");  // stands in for the progress dialog
    window.resize(300, 80);
    window.show();
    QCoreApplication::processEvents();

    const auto start = std::chrono::steady_clock::now();
    CompareOutcome outcome;
    {
        WaitCursor wait;  // as the compare run holds it around a pair
        OutputFile merge(argv[3], OutputFile::Mode::Untranslated);
        OutputFileSink sink(merge);
        outcome = CompareFiles(argv[1], argv[2], CompareOptions(), sink);
        merge.Close();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("status %d removed %lld added %lld compare %.3f s pumps %ld\n", static_cast<int>(outcome.status),
                static_cast<long long>(outcome.removedLines), static_cast<long long>(outcome.addedLines), seconds,
                pumps);
    SetMessagePump(nullptr);
    SetWaitCursorHooks(nullptr, nullptr);
    return outcome.status == CompareStatus::Compared ? 0 : 1;
}
