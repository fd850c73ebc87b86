#pragma once
// The comparison settings record: the line markers of the merge file, the two
// comparison options, and values that are only stored and passed on. A plain
// value that the compare run reads and never changes: the engine gets its
// options as a CompareOptions value, and the state of a comparison belongs to
// the engine and lives only while it compares. The two file paths travel with
// every copy; no part of the program fills or reads them (a run names its
// dumps itself).
#include <cstdint>
#include <string>

class SettingsValues;

class CompareSettings {
public:
    static constexpr const char* kSection = "Compare Files";
    // The file kind travels with the record; the engine compares every dump as
    // text, so nothing sets it to binary any more.
    static constexpr int kFileKindUnknown = 0;
    static constexpr int kFileKindBinary = 2;

    // Reads / writes the sixteen stored values of the "Compare Files" section in
    // their fixed order. An absent value leaves the field as it is.
    void LoadSettings(const SettingsValues& store);
    void SaveSettings(SettingsValues& store) const;

    // Fields in declaration order.
    std::int32_t m_nFileCompareAlign = 0;
    std::int32_t m_bIgnoreWhitespace = 0;
    std::int32_t m_bIgnoreCase = 0;
    std::string m_strOutputFile;
    std::string m_strFile1LinePrefix = "|<<";
    std::string m_strFile1SectionFooter;
    std::string m_strFile1SectionHeader;
    std::string m_strFile2LinePrefix = "||>>";
    std::string m_strFile2SectionFooter;
    std::string m_strFile2SectionHeader;
    std::int32_t m_bSynchScrolling = 1;
    std::int32_t m_bWriteCommonSections = 1;
    std::int32_t m_nFileKind = kFileKindUnknown;
    std::string m_strFile1Path;
    std::string m_strFile2Path;
    std::int32_t m_crFile1Color = 8388736;  // red 128, green 0, blue 128
    std::int32_t m_crFile2Color = 32768;    // green 128
    std::int32_t m_bShowLineNumbers = 1;
    // The memory one comparison of a compare run may hold, as the user wrote it
    // ("512M", "4G"); empty: a quarter of the machine's memory (MemoryBudget.h).
    std::string m_strMemoryBudget;
};
