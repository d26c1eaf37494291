#pragma once
// A bounded queue of MIDI short messages: any number of threads push, one thread (the render
// thread) pops. Lock-free and allocation-free: each cell carries a sequence number that says
// whether it is free for the producer of that turn or filled for the consumer.

#include <atomic>
#include <cstddef>
#include <cstdint>

template <std::size_t Capacity>
class CEventQueue {
    static_assert((Capacity & (Capacity - 1)) == 0, "the capacity is a power of two");

public:
    CEventQueue()
    {
        for (std::size_t i = 0; i < Capacity; ++i)
            m_cells[i].sequence.store(i, std::memory_order_relaxed);
    }
    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;

    // Any thread. False when the queue is full.
    bool Push(std::uint32_t value)
    {
        std::size_t position = m_pushAt.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = m_cells[position & (Capacity - 1)];
            const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto lag = static_cast<std::ptrdiff_t>(sequence - position);
            if (lag == 0) {
                if (m_pushAt.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
                    cell.value = value;
                    cell.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (lag < 0) {
                return false; // the cell still holds a message of the previous lap
            } else {
                position = m_pushAt.load(std::memory_order_relaxed);
            }
        }
    }

    // The consumer thread only.
    bool Pop(std::uint32_t& value)
    {
        Cell& cell = m_cells[m_popAt & (Capacity - 1)];
        if (cell.sequence.load(std::memory_order_acquire) != m_popAt + 1)
            return false;
        value = cell.value;
        cell.sequence.store(m_popAt + Capacity, std::memory_order_release);
        ++m_popAt;
        return true;
    }

private:
    struct Cell {
        std::atomic<std::size_t> sequence{0};
        std::uint32_t value = 0;
    };

    Cell m_cells[Capacity];
    alignas(64) std::atomic<std::size_t> m_pushAt{0};
    alignas(64) std::size_t m_popAt = 0;
};
