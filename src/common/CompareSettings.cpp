#include "common/CompareSettings.h"

#include "common/SettingsValues.h"

void CompareSettings::LoadSettings(const SettingsValues& store)
{
    const std::string s = kSection;
    m_strFile1LinePrefix = store.ReadString(s, "File1 Line Prefix", m_strFile1LinePrefix);
    m_strFile2LinePrefix = store.ReadString(s, "File2 Line Prefix", m_strFile2LinePrefix);
    m_strFile1SectionHeader = store.ReadString(s, "File1 Section Header", m_strFile1SectionHeader);
    m_strFile2SectionHeader = store.ReadString(s, "File2 Section Header", m_strFile2SectionHeader);
    m_strFile1SectionFooter = store.ReadString(s, "File1 Section Footer", m_strFile1SectionFooter);
    m_strFile2SectionFooter = store.ReadString(s, "File2 Section Footer", m_strFile2SectionFooter);
    m_strOutputFile = store.ReadString(s, "Compare Output File", m_strOutputFile);
    m_bSynchScrolling = store.ReadInt(s, "Synch Scrolling", m_bSynchScrolling);
    m_bWriteCommonSections = store.ReadInt(s, "Write Common Sections", m_bWriteCommonSections);
    m_bIgnoreWhitespace = store.ReadInt(s, "Ignore Whitespace", m_bIgnoreWhitespace);
    m_bIgnoreCase = store.ReadInt(s, "Ignore Case", m_bIgnoreCase);
    m_nFileCompareAlign = store.ReadInt(s, "File Compare Align", m_nFileCompareAlign);
    m_crFile1Color = store.ReadInt(s, "File 1 Color", m_crFile1Color);
    m_crFile2Color = store.ReadInt(s, "File 2 Color", m_crFile2Color);
    m_bShowLineNumbers = store.ReadInt(s, "Show Line Numbers", m_bShowLineNumbers);
    m_strMemoryBudget = store.ReadString(s, "Memory Budget", m_strMemoryBudget);
}

void CompareSettings::SaveSettings(SettingsValues& store) const
{
    const std::string s = kSection;
    store.WriteString(s, "File1 Line Prefix", m_strFile1LinePrefix);
    store.WriteString(s, "File2 Line Prefix", m_strFile2LinePrefix);
    store.WriteString(s, "File1 Section Header", m_strFile1SectionHeader);
    store.WriteString(s, "File2 Section Header", m_strFile2SectionHeader);
    store.WriteString(s, "File1 Section Footer", m_strFile1SectionFooter);
    store.WriteString(s, "File2 Section Footer", m_strFile2SectionFooter);
    store.WriteString(s, "Compare Output File", m_strOutputFile);
    store.WriteInt(s, "Synch Scrolling", m_bSynchScrolling);
    store.WriteInt(s, "Write Common Sections", m_bWriteCommonSections);
    store.WriteInt(s, "Ignore Whitespace", m_bIgnoreWhitespace);
    store.WriteInt(s, "Ignore Case", m_bIgnoreCase);
    store.WriteInt(s, "File Compare Align", m_nFileCompareAlign);
    store.WriteInt(s, "File 1 Color", m_crFile1Color);
    store.WriteInt(s, "File 2 Color", m_crFile2Color);
    store.WriteInt(s, "Show Line Numbers", m_bShowLineNumbers);
    store.WriteString(s, "Memory Budget", m_strMemoryBudget);
}
