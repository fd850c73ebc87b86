#pragma once
// The dump query of a PostgreSQL table: psqlODBC turns dates and timestamps
// into structures and back, which drops the era of dates BC, makes infinity a
// year 9999 and years past 9999 zeros, and drops a timestamptz's offset; money
// it hands over as a double. The dump asks the server for such columns as its
// own text (timestamptz at UTC, money as numeric), which is exact and spares
// the driver the round trip through the structures.
#include <string>
#include <vector>

#include "datasource/ColumnInfo.h"
#include "datasource/DumpColumn.h"

// Gives the columns of `described` that need it their expression and family in
// `reading` (DescribedReading of the same columns); false when none needs one.
bool AddPostgresExpressions(std::vector<DumpColumn>& reading, const std::vector<ColumnInfo>& described,
                            const std::string& identifierQuote);
