#pragma once
// A report sink over the program's output file. A failed write is kept, not
// thrown: the sink answers false and holds the file's error text.
#include <string>
#include <string_view>

#include "common/OutputFile.h"
#include "textcompare/CompareFiles.h"

class OutputFileSink : public ReportSink {
public:
    explicit OutputFileSink(OutputFile& file) : m_file(file) {}

    bool Write(std::string_view bytes) override;

    // The text of the first failed write (it names the file), empty when none failed.
    const std::string& Error() const { return m_error; }

private:
    OutputFile& m_file;
    std::string m_error;
};
