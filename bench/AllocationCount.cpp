#include "bench/AllocationCount.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_allocations{0};
}

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);

void* __wrap_malloc(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_malloc(size);
}

void* __wrap_calloc(std::size_t count, std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return __real_realloc(block, size);
}
}

namespace {

void* CountedNew(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    // Straight to the allocator, so that one new is not counted again as a malloc.
    if (void* block = __real_malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) { return CountedNew(size); }
void* operator new[](std::size_t size) { return CountedNew(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return CountedNew(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

long AllocationsSoFar()
{
    return g_allocations.load();
}
