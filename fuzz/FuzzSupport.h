#pragma once
// What the fuzz targets share: a failed invariant that libFuzzer reports as a
// crash, scratch files for the code that reads paths, and dump rows split the
// way the engine and the merge reader split them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Aborts with `what` on standard error when `ok` is false: libFuzzer then
// saves the input as a crash artifact.
void Check(bool ok, const char* what);

// The input as text.
inline std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Writes `bytes` to the scratch file `name` (replacing it) and returns its
// path. Scratch files live in one directory per process under $TMPDIR, removed
// when the process exits normally.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);

// The rows of `bytes` as the engine's line reader delivers them: each ends after
// the LF that RowScanner finds; a last row may have none.
std::vector<std::string_view> SplitRows(std::string_view bytes);

} // namespace fuzz
