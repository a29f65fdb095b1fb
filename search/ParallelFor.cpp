// The search's thread pool: a shared counter that the threads draw chunks of indices from.
#include "search/ParallelFor.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pendrake {

namespace {

// Indices drawn at a time. A wall that fails its service checks takes a microsecond or two, one
// taken through every factored set some tens: small chunks keep one thread from drawing several
// full designs while the other waits at the end of a batch, and the shared counter still costs
// next to nothing beside an evaluation.
constexpr int64_t ChunkSize = 2;

} // namespace

int SearchThreads(int requested)
{
    if (requested > 0)
        return requested;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void ParallelFor(int64_t count, int threads, const std::function<void(int64_t)>& body,
    const std::atomic<bool>* cancel)
{
    if (count <= 0)
        return;
    const int64_t chunks = (count + ChunkSize - 1) / ChunkSize;
    const int workers = int(std::min<int64_t>(SearchThreads(threads), chunks));
    std::atomic<int64_t> next { 0 };
    std::atomic<bool> failed { false };
    std::exception_ptr error;
    std::mutex errorLock;
    auto work = [&] {
        for (;;) {
            if (failed.load(std::memory_order_relaxed)
                || (cancel && cancel->load(std::memory_order_relaxed)))
                return;
            const int64_t first = next.fetch_add(ChunkSize, std::memory_order_relaxed);
            if (first >= count)
                return;
            const int64_t last = std::min(count, first + ChunkSize);
            try {
                for (int64_t i = first; i < last; ++i)
                    body(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (!error)
                    error = std::current_exception();
                failed = true;
                return;
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(size_t(workers - 1));
    for (int t = 1; t < workers; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace pendrake
