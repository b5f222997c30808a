#include "player/ui/FolderWalker.h"

#include "player/ui/PlayQueue.h"

#include <chrono>

FolderWalker::FolderWalker() : worker([this] { run(); }) {}

FolderWalker::~FolderWalker() {
    {
        std::lock_guard<std::mutex> hold(lock);
        quit = true;
    }
    wake.notify_all();
    worker.join();
}

uint64_t FolderWalker::walk(std::vector<std::string> paths) {
    uint64_t id = 0;
    {
        std::lock_guard<std::mutex> hold(lock);
        id = ++lastId;
        jobs.push_back({id, std::move(paths)});
    }
    wake.notify_all();
    return id;
}

std::vector<FolderWalker::Batch> FolderWalker::take() {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<Batch> out;
    out.swap(done);
    return out;
}

bool FolderWalker::busy() {
    std::lock_guard<std::mutex> hold(lock);
    return walking || !jobs.empty() || !done.empty();
}

void FolderWalker::run() {
    using Clock = std::chrono::steady_clock;
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> hold(lock);
            wake.wait(hold, [this] { return quit || !jobs.empty(); });
            if (quit) {
                return;
            }
            job = std::move(jobs.front());
            jobs.pop_front();
            walking = true;
        }
        Batch batch{job.id, {}, false};
        Clock::time_point since = Clock::now();
        auto handOver = [&](bool last) {
            batch.last = last;
            std::lock_guard<std::mutex> hold(lock);
            done.push_back(std::move(batch));
            batch = Batch{job.id, {}, false};
            since = Clock::now();
            if (last) {
                walking = false;
            }
        };
        for (const std::string& path : job.paths) {
            bool going = PlayQueue::expand(PlayQueue::absolute(path), [&](std::string file) {
                batch.files.push_back(std::move(file));
                if (batch.files.size() >= kBatchFiles ||
                    Clock::now() - since >= std::chrono::milliseconds(kBatchMs)) {
                    handOver(false);
                }
                std::lock_guard<std::mutex> hold(lock);
                return !quit;
            });
            if (!going) {
                return;
            }
        }
        handOver(true);
    }
}
