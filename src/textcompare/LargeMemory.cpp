#include "textcompare/LargeMemory.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t RoundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

} // namespace

void* LargeAlloc(std::size_t size)
{
    if (size == 0)
        return nullptr;
    const std::size_t length = RoundUp(size, kHugePage);
    // Map one huge page more than needed and cut the mapping to an aligned start.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    const std::uintptr_t tail = aligned + length;
    const std::uintptr_t end = start + length + kHugePage;
    if (end > tail)
        ::munmap(reinterpret_cast<void*>(tail), end - tail);
    void* memory = reinterpret_cast<void*>(aligned);
    ::madvise(memory, length, MADV_HUGEPAGE);  // a hint; small pages work too
    return memory;
}

void LargeFree(void* memory, std::size_t size)
{
    if (memory)
        ::munmap(memory, RoundUp(size, kHugePage));
}
