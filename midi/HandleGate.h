#pragma once
// A platform handle that one thread opens and closes while another thread sends on it.
//
// A sender borrows the handle for the length of one platform call. Before closing, the owner
// withdraws the handle, so that senders from then on see none, and waits for the borrowers
// that already hold it. The platform therefore never sees a handle that is being or has been
// closed, and a sender never waits: the waiting is all on the owner's side, which is short
// because a borrower holds the handle for one call only. Needs no Windows header.

#include <atomic>
#include <thread>

template <typename Handle>
class CHandleGate {
public:
    CHandleGate() = default;
    CHandleGate(const CHandleGate&) = delete;
    CHandleGate& operator=(const CHandleGate&) = delete;

    // Owner: makes an opened handle (or again one whose close failed) available to senders.
    void Publish(Handle handle) { m_handle.store(handle); }

    // Owner: takes the handle away from new senders and returns once no sender holds it, so
    // that it may be closed. Empty when none was published.
    Handle Withdraw()
    {
        const Handle withdrawn = m_handle.exchange(Handle{});
        while (m_borrowers.load() != 0)
            std::this_thread::yield();
        return withdrawn;
    }

    // Sender: returns use(handle) for the handle of the moment, empty while none is published.
    template <typename Use>
    auto Borrow(Use&& use)
    {
        // Counted before the handle is read (both sequentially consistent): a withdrawal
        // either comes first, and this call reads no handle, or it sees this borrower and
        // waits for it.
        m_borrowers.fetch_add(1);
        const Handle handle = m_handle.load();
        if (handle == Handle{}) {
            // Nothing to protect: a withdrawal need not wait while the platform refuses this.
            m_borrowers.fetch_sub(1);
            return use(handle);
        }
        const Release release{m_borrowers};
        return use(handle);
    }

private:
    struct Release {
        std::atomic<int>& borrowers;
        ~Release() { borrowers.fetch_sub(1); }
    };

    std::atomic<Handle> m_handle{Handle{}};
    std::atomic<int> m_borrowers{0};
};
