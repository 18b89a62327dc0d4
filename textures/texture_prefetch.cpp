// Decoding ahead on worker threads; see texture_prefetch.h.
#include "textures/texture_prefetch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace {

// What the uploads will ask of the heap: the 29 pictures with their levels, four bytes a texel.
constexpr std::size_t WarmHeapBytes = std::size_t{48} << 20;

struct Entry {
    std::string FileName;
    std::optional<PreparedTexture> Result;  // set by a worker
    bool Taken = false;
};

// Workers take the files in list order, so the first ones asked for are the first ready.
class Prefetch {
public:
    ~Prefetch() { Stop(); }

    void Start(const std::vector<std::string>& fileNames)
    {
        Stop();
        entries_.clear();
        for (const std::string& name : fileNames)
            entries_.push_back({name, std::nullopt, false});
        next_ = 0;
        stopping_ = false;
        // Taken here, on the main thread, so that the block is in the heap its uploads draw on.
        const SysHeapBlock heap = SysReserveHeap(WarmHeapBytes);
        for (unsigned i = 0; i < WorkerCount(); ++i)
            workers_.emplace_back([this, i, heap] {
                if (i == 0)
                    SysWarmUpHeap(heap);
                Work();
            });
    }

    std::optional<PreparedTexture> Take(const char* fileName)
    {
        std::unique_lock<std::mutex> hold(lock_);
        const auto found = std::find_if(entries_.begin(), entries_.end(),
                                        [&](const Entry& e) { return !e.Taken && e.FileName == fileName; });
        if (found == entries_.end())
            return std::nullopt;
        // Without workers (a build without threads) the file is prepared now, as it is asked for.
        if (workers_.empty() && !found->Result)
            found->Result = PrepareTexture(found->FileName.c_str());
        ready_.wait(hold, [&] { return found->Result.has_value(); });
        found->Taken = true;
        std::optional<PreparedTexture> result = std::move(found->Result);
        found->Result.reset();
        return result;
    }

    void Stop()
    {
        stopping_ = true;
        for (std::thread& worker : workers_)
            worker.join();
        workers_.clear();
        const std::lock_guard<std::mutex> hold(lock_);
        entries_.clear();
    }

private:
    // One core stays with the main thread, which makes the window meanwhile; at least one worker.
    static unsigned WorkerCount()
    {
#ifdef __EMSCRIPTEN__
        return 0;  // the web page runs on one thread
#endif
        const unsigned cores = std::thread::hardware_concurrency();
        return std::clamp(cores > 1 ? cores - 1 : 1u, 1u, 4u);
    }

    void Work()
    {
        for (;;) {
            const std::size_t i = next_++;
            if (stopping_ || i >= entries_.size())
                return;
            // The list does not change while workers run: Start and Stop join them first.
            PreparedTexture prepared = PrepareTexture(entries_[i].FileName.c_str());
            const std::lock_guard<std::mutex> hold(lock_);
            entries_[i].Result = std::move(prepared);
            ready_.notify_all();
        }
    }

    std::vector<Entry> entries_;
    std::vector<std::thread> workers_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stopping_{false};
    std::mutex lock_;
    std::condition_variable ready_;
};

// Made on first use, so it is torn down before anything the workers use (the data folder's name):
// an exit while they run waits for them.
Prefetch& ThePrefetch()
{
    static Prefetch prefetch;
    return prefetch;
}

}  // namespace

void StartTexturePrefetch(const std::vector<std::string>& fileNames)
{
    ThePrefetch().Start(fileNames);
}

std::optional<PreparedTexture> TakePrefetchedTexture(const char* fileName)
{
    return ThePrefetch().Take(fileName);
}

void StopTexturePrefetch()
{
    ThePrefetch().Stop();
}
