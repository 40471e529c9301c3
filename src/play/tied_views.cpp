#include "play/tied_views.h"

void TiedViews::beginTie()
{
    std::lock_guard lock(playLock);
    barEvent.reset();
    tiedViewCount = 0;
    barArrivals = 0;
}

void TiedViews::addTiedView()
{
    std::lock_guard lock(playLock);
    ++tiedViewCount;
}

void TiedViews::tieViews(int views)
{
    {
        std::lock_guard lock(playLock);
        tiedViewCount += views;
    }
    barEvent.set();
}

void TiedViews::endTie()
{
    std::lock_guard lock(playLock);
    tiedViewCount = 0;
    barArrivals = 0;
    barEvent.set(); // whoever waits now has nobody to wait for
}

int TiedViews::viewCount() const
{
    std::lock_guard lock(playLock);
    return tiedViewCount;
}

void TiedViews::meetAtBar(const std::function<bool()>& stopped, std::chrono::milliseconds limit)
{
    uint64_t seen = 0;
    {
        std::lock_guard lock(playLock);
        if (tiedViewCount == 0)
            return;
        seen = barEvent.setCount();
        if (++barArrivals >= tiedViewCount) {
            barArrivals = 0;
            barEvent.set();
            return;
        }
        // Reset only by a thread that will wait, and only under the lock:
        // the last arrival's set can then never be undone before the others
        // have seen it (they wait for the set count to move).
        barEvent.reset();
    }
    barEvent.waitSince(seen, limit, stopped);
}
