#include "workflow/CompareRunReport.h"

namespace {

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "none" : text;
}

} // namespace

bool CompareRunReport::AnyDifference() const
{
    for (const PairReport& pair : pairs)
        if (pair.Differs())
            return true;
    return false;
}

bool CompareRunReport::AllCompared() const
{
    for (const PairReport& pair : pairs)
        if (pair.outcome == PairOutcome::NotCompared)
            return false;
    return true;
}

bool CompareRunReport::Complete() const
{
    return !cancelled && !error && UnfinishedTables().empty();
}

std::vector<std::string> CompareRunReport::UnfinishedTables() const
{
    std::vector<std::string> names;
    for (const PairReport& pair : pairs)
        if (pair.outcome == PairOutcome::NotStarted || pair.outcome == PairOutcome::NotCompared)
            names.push_back(pair.pair.Name());
    return names;
}

std::vector<std::string> CompareRunReport::NotComparedLines() const
{
    std::vector<std::string> lines;
    for (const PairReport& pair : pairs)
        if (pair.outcome == PairOutcome::NotCompared)
            lines.push_back("Table " + pair.pair.Name() + " could not be compared: " + pair.reason);
    return lines;
}

std::string CompareRunReport::ErrorText() const
{
    if (!error)
        return {};
    std::vector<std::string> finished;
    std::vector<std::string> unfinished;
    for (const PairReport& pair : pairs) {
        if (pair.outcome == PairOutcome::Skipped)
            continue;
        (pair.outcome == PairOutcome::NotStarted ? unfinished : finished).push_back(pair.pair.Name());
    }
    std::string text = *error;
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text + "Tables finished: " + JoinNames(finished) + ".\nTables not finished: " + JoinNames(unfinished) +
           ".";
}
