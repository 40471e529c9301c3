#pragma once

#include <cstddef>
#include <new>

// Storage for the tables a layout keeps one entry per element in. A table of
// a long piece takes tens of megabytes fresh from the system, and a first
// layout touches every page of it at once: where the system offers huge
// pages they are asked for, as a fault for each 4 KiB page costs more than
// all the work on the entries in it.
void* allocateTable(size_t bytes);
// bytes as given to allocateTable.
void releaseTable(void* table, size_t bytes) noexcept;

template <class T>
struct TableAllocator {
    using value_type = T;

    TableAllocator() = default;
    template <class U>
    TableAllocator(const TableAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t n)
    {
        if (n > size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocateTable(n * sizeof(T)));
    }
    void deallocate(T* table, size_t n) noexcept { releaseTable(table, n * sizeof(T)); }
    template <class U>
    bool operator==(const TableAllocator<U>&) const noexcept
    {
        return true;
    }
};
