#include "app/UserDialogs.h"

#include "common/ResourceStrings.h"

namespace {
constexpr int kApplicationTitle = 57344;
}

std::string MessageBoxTitle()
{
    // The title is the executable's own, whatever language module is active.
    return BuiltInString(kApplicationTitle).value_or("Tolvane and Merge");
}
