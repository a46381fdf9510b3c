#include "TList.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

TList::~TList() {
    std::free(FList);
}

void TList::Grow(std::size_t NewCapacity) {
    if (NewCapacity <= FCapacity)
        return;
    if (NewCapacity > std::size_t(INT_MAX))
        NewCapacity = std::size_t(INT_MAX);
    void *Grown = std::realloc(FList, NewCapacity * sizeof(void *));
    if (Grown == nullptr)
        throw std::bad_alloc();
    FList = static_cast<void **>(Grown);
    FCapacity = NewCapacity;
}

void TList::GrowForAdd() {
    if (FCount == INT_MAX)
        throw std::bad_alloc();
    Grow(FCapacity < 16 ? 16 : FCapacity * 2);
}

void TList::Delete(int Index) {
    std::memmove(FList + Index, FList + Index + 1,
                 std::size_t(FCount - Index - 1) * sizeof(void *));
    --FCount;
}

void TList::Clear() {
    std::free(FList);
    FList = nullptr;
    FCount = 0;
    FCapacity = 0;
}
