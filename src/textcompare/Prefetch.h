#pragma once
// Hints to start fetching the cache line that holds an address, for reading
// or for writing.
//
// GCC deletes a loop whose only effect is __builtin_prefetch (a hint changes
// nothing a program can observe), so a loop that only fetches ahead would
// silently do nothing. Each hint is therefore tied to an empty asm statement,
// which the compiler must keep and which costs no instruction.
inline void PrefetchForRead(const void* address)
{
    __builtin_prefetch(address);
    asm volatile("" : : "r"(address));
}

inline void PrefetchForWrite(const void* address)
{
    __builtin_prefetch(address, 1);
    asm volatile("" : : "r"(address));
}
