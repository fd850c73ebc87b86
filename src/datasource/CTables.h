#pragma once
// The catalog of a data source's tables (SQLTables), one row per table.
#include <string>

#include "datasource/CRecordsetEx.h"

class CTables : public CRecordsetEx {
public:
    explicit CTables(CDatabase& database);

    // Opens the catalog. Raises PlainTextError "<::SQLTables> not supported." when
    // the driver lacks SQLTables and DatabaseError on every other failure. Null
    // pointers stand for "all".
    void OpenCatalog(const char* qualifier, const char* owner, const char* name, const char* typeList,
                     unsigned openType = forwardOnly);

    std::string m_strTableQualifier;
    std::string m_strTableOwner;
    std::string m_strTableName;
    std::string m_strTableType;
    std::string m_strRemarks;

private:
    // Refreshes the five fields from the current catalog row.
    void OnRowFetched() override;
};
