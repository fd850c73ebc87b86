#pragma once
// Memory for the engine's big arrays, straight from the system and on huge
// pages where the system offers them: a million-line file touches hundreds of
// megabytes, and with small pages the page faults and TLB misses cost more
// than the comparison itself.
#include <cstddef>

// `size` zero-filled bytes aligned to 2 MiB, or none when memory is short.
void* LargeAlloc(std::size_t size);

// Gives back memory from LargeAlloc (`size` as passed there).
void LargeFree(void* memory, std::size_t size);
