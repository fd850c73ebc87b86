#include "textcompare/ComparisonOptions.h"

ComparisonOptions g_comparisonOptions;
