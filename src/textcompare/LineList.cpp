#include "textcompare/LineList.h"

LineList* ListNew()
{
    auto* head = static_cast<ListCell*>(PoolAlloc(sizeof(ListCell)));
    if (!head)
        return nullptr;
    head->next = head;
    head->prev = head;
    head->block = g_listPool.current;
    head->headMarker = 1;
    head->word = 1;
    return head;
}

void* ListAppend(LineList* list, std::size_t payloadSize)
{
    if (!list)
        return nullptr;
    auto* cell = static_cast<ListCell*>(PoolAlloc(kListCellHeader + payloadSize));
    if (!cell) {
        list->word = 0;
        return nullptr;
    }
    cell->block = g_listPool.current;
    cell->headMarker = 0;
    cell->word = static_cast<std::int32_t>(payloadSize);
    cell->prev = list->prev;
    cell->next = list;
    list->prev->next = cell;
    list->prev = cell;
    return cell + 1;
}

bool ListComplete(const LineList* list)
{
    return list && list->word != 0;
}

void* ListFirst(const LineList* list)
{
    if (!list || list->next == list)
        return nullptr;
    return list->next + 1;
}

void* ListLast(const LineList* list)
{
    if (!list || list->prev == list)
        return nullptr;
    return list->prev + 1;
}

void ListFree(LineList*& list)
{
    if (!list)
        return;
    ListCell* cell = list;
    do {
        // Read the link first: releasing the cell may free its block.
        ListCell* next = cell->next;
        PoolRelease(cell->block);
        cell = next;
    } while (cell != list);
    list = nullptr;
}
