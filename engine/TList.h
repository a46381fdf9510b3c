#pragma once

#include <cstddef>

// A minimal list of untyped pointers: count, indexed access, append, clear.
// The list owns only its own array, never what the items point to. The array
// grows with realloc, so a long list moves by remapping rather than by copying
// and touching fresh pages again.
class TList {
public:
    TList() = default;
    virtual ~TList();
    TList(const TList &) = delete;
    TList &operator=(const TList &) = delete;

    int Count() const { return FCount; }
    // Item Index; Index must lie in 0 .. Count() - 1.
    void *Items(int Index) const { return FList[Index]; }
    // Appends Item and returns its index. Throws std::bad_alloc when the array
    // cannot grow (or the count would pass the largest int); the list is then
    // unchanged.
    int Add(void *Item) {
        if (std::size_t(FCount) == FCapacity)
            GrowForAdd();
        FList[FCount] = Item;
        return FCount++;
    }
    // Empties the list and gives its array back.
    void Clear();

protected:
    // Replace and remove items: a derived list that keeps something in step
    // with its items (a line store's keys) leaves them out of its interface.
    // Replaces item Index; Index must lie in 0 .. Count() - 1.
    void Put(int Index, void *Item) { FList[Index] = Item; }
    // Removes item Index (0 .. Count() - 1); the items after it move down.
    void Delete(int Index);
    // The items as one array, for tight loops in derived lists.
    void *const *List() const { return FList; }
    // Grows the array to hold at least NewCapacity items; throws std::bad_alloc.
    void Grow(std::size_t NewCapacity);
    std::size_t Capacity() const { return FCapacity; }

private:
    void **FList = nullptr;
    int FCount = 0;
    std::size_t FCapacity = 0;

    void GrowForAdd();
};
