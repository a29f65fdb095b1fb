// A small pool for the design search: indices handed out in chunks to a few std::threads, each
// index run exactly once, the first exception carried back to the caller.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace pendrake {

// The threads a search uses: the request, or every core when it is 0 or less.
int SearchThreads(int requested);

// Calls body(i) for every i in [0, count) on SearchThreads(threads) threads (the caller's among
// them). Once *cancel is set no further index starts. Rethrows the first exception a body threw.
void ParallelFor(int64_t count, int threads, const std::function<void(int64_t)>& body,
    const std::atomic<bool>* cancel = nullptr);

} // namespace pendrake
