#pragma once
// Placeholder until the comparison engine lands: the state of the last comparison.
struct CompareContext {};
inline void ReleaseContext(CompareContext&) {}
inline bool HasComparison(const CompareContext&) { return false; }
