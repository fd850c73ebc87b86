#pragma once
// Circular doubly linked lists whose cells come from the list pool. A list is
// known by its head cell; its users hold payload pointers only, and a node's
// header sits directly before its payload.
#include <cstddef>
#include <cstdint>

#include "textcompare/ListPool.h"

// Cells are packed to 4 bytes: the pool hands them out 4-byte aligned, and
// every byte per line counts when a file has millions of lines.
#pragma pack(push, 4)
struct ListCell {
    ListCell* next;
    ListCell* prev;
    ListBlock* block;          // the pool block the cell came from
    std::int32_t headMarker;   // 1 for the head, 0 for a node
    std::int32_t word;         // head: status (0 once an append failed); node: payload size
};
#pragma pack(pop)

// A list is its head cell.
using LineList = ListCell;

inline constexpr std::size_t kListCellHeader = sizeof(ListCell);

// A new empty list, or none when the pool has no memory.
LineList* ListNew();

// Appends a node with `payloadSize` bytes of (uninitialised) payload and returns
// the payload, or none; a failed append clears the list's status word.
void* ListAppend(LineList* list, std::size_t payloadSize);

// True when the list exists and no append to it has failed.
bool ListComplete(const LineList* list);

void* ListFirst(const LineList* list);
void* ListLast(const LineList* list);

// The neighbouring payloads; none at either end of the list or for none.
inline void* ListNext(const void* payload)
{
    if (!payload)
        return nullptr;
    const ListCell* next = (static_cast<const ListCell*>(payload) - 1)->next;
    return next->headMarker ? nullptr : const_cast<ListCell*>(next + 1);
}

inline void* ListPrev(const void* payload)
{
    if (!payload)
        return nullptr;
    const ListCell* prev = (static_cast<const ListCell*>(payload) - 1)->prev;
    return prev->headMarker ? nullptr : const_cast<ListCell*>(prev + 1);
}

// Releases every cell of the list, head included, and sets `list` to none.
void ListFree(LineList*& list);
