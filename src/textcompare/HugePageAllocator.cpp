#include "textcompare/HugePageAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t RoundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

} // namespace

void* HugePageAlloc(std::size_t bytes)
{
    if (bytes < kHugePage)
        return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t length = RoundUp(bytes, kHugePage);
    // One huge page more than needed, cut to an aligned start.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length)
        ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    void* memory = reinterpret_cast<void*>(aligned);
    ::madvise(memory, length, MADV_HUGEPAGE);  // a hint; small pages work too
    return memory;
}

void HugePageFree(void* memory, std::size_t bytes)
{
    if (!memory)
        return;
    if (bytes < kHugePage)
        std::free(memory);
    else
        ::munmap(memory, RoundUp(bytes, kHugePage));
}
