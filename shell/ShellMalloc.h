#pragma once
// Holds one reference to the shell's task allocator, through which item identifier lists and
// the shell's returned strings are allocated and freed.

#include "base/ComRef.h"

#include <objidl.h>

#include <cstddef>

class CShellMalloc {
public:
    CShellMalloc();
    CShellMalloc(const CShellMalloc&) = delete;
    CShellMalloc& operator=(const CShellMalloc&) = delete;

    // Null when the allocator can't supply the memory (or could not be had).
    void* Alloc(std::size_t bytes) const;
    // Ignores null.
    void Free(void* block) const;

private:
    ComRef<IMalloc> m_malloc;
};
