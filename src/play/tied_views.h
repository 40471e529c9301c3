#pragma once

#include "play/manual_reset_event.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

// The bar-line meeting of tied views: the application owns one for the whole
// run and every playback thread meets the others through it.
class TiedViews {
public:
    static constexpr std::chrono::milliseconds kBarWait{5000};

    // Before views start: no view counted in, nobody waiting, the event reset.
    void beginTie();
    // Counts one more view into the meeting.
    void addTiedView();
    // Counts views views into the meeting at once and sets the event.
    void tieViews(int views);
    // Ends the meeting for everyone from their next bar line on: a playing
    // thread calls it when it ends.
    void endTie();
    int viewCount() const;

    // A thread at a bar line waits until every tied thread has reached one,
    // at most limit, or until stopped() turns true (see wakeWaiters()).
    // Returns at once when no views are tied.
    void meetAtBar(const std::function<bool()>& stopped, std::chrono::milliseconds limit = kBarWait);
    // Lets waiting threads look at their stop condition again.
    void wakeWaiters() { barEvent.wake(); }

private:
    mutable std::recursive_mutex playLock;
    int tiedViewCount = 0;
    int barArrivals = 0;
    ManualResetEvent barEvent;
};
