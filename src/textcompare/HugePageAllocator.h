#pragma once
// An allocator for the engine's big arrays (line cells, blocks, the unique-line
// map): arrays of 2 MiB and more come straight from the system on huge pages
// where the system offers them. A million-line comparison reaches into these
// arrays at random; with small pages nearly every such read misses the TLB.
// Smaller arrays come from the heap.
#include <cstddef>
#include <new>

void* HugePageAlloc(std::size_t bytes);             // none when memory is short
void HugePageFree(void* memory, std::size_t bytes);  // `bytes` as passed to HugePageAlloc

template <class T>
struct HugePageAllocator {
    using value_type = T;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* memory = HugePageAlloc(n * sizeof(T));
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t n) noexcept { HugePageFree(memory, n * sizeof(T)); }

    template <class U>
    bool operator==(const HugePageAllocator<U>&) const noexcept { return true; }
};
