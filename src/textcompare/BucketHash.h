#pragma once
// Which bucket a dump row goes to when two dumps too large to compare whole are
// split into pairs of smaller files. Rows that the comparison pairs must land
// in buckets of the same number, so every hash here is a function of the row
// as the comparison's rules see it: without the bytes "Ignore Whitespace"
// disregards, with ASCII letters folded under "Ignore Case". Beyond that the
// hashes only spread rows evenly; they are this program's own, so that a
// bucket's number does not change with the library or the machine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textcompare/LineCompare.h"

class BucketHasher {
public:
    // `keyColumns`: the 0-based fields that make a row's key, in the order they
    // are hashed; empty (or none valid): the whole row is the key.
    BucketHasher(const LineRules& rules, std::vector<std::int32_t> keyColumns);

    // The hash of the row's key fields, parsed from the row after normalising
    // it, with the dump's quoting: a field that begins with a double quote
    // runs to the next single double quote that is followed by a comma or the
    // end of the row, two double quotes inside are one. Fields after the last
    // one count as empty. A row's terminator is no part of its last field.
    // Not thread-safe: the hasher keeps its scratch buffers.
    std::uint64_t KeyHash(std::string_view row);

    // A hash of the whole row under the rules, another for each `level` (1,
    // 2, ...): for splitting a bucket again whose rows share one key.
    std::uint64_t RowHash(std::string_view row, unsigned level) const;

private:
    // A field's value in the normalised row: inside the quotes of a quoted one.
    struct Field {
        std::size_t begin;
        std::size_t end;
        bool quoted;  // "" inside stands for one quote
    };

    std::string_view Normalise(std::string_view row);
    void ParseFields(std::string_view row);
    void AppendValue(std::string_view row, const Field& field);

    LineRules m_rules;
    std::vector<std::int32_t> m_keyColumns;  // only valid ones
    std::size_t m_fieldsNeeded = 0;          // the last key column + 1
    std::string m_normal;
    std::vector<Field> m_fields;
    std::string m_key;
};

// The bucket of `hash` among `count` buckets, by its high bits.
inline std::size_t BucketOf(std::uint64_t hash, std::size_t count)
{
    return static_cast<std::size_t>((static_cast<unsigned __int128>(hash) * count) >> 64);
}
