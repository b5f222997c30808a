// Walks the folders the user opens on a thread of its own, so that a folder of tens of
// thousands of entries never holds up the window: the files found come back in batches,
// in the order PlayQueue::add would give them.
//
// Contract: jobs are walked one after another in the order given; take() returns the batches
// found since the last call, each job's last batch marked. The destructor stops a walk in
// progress (at the next file found) and waits for the thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FolderWalker {
  public:
    struct Batch {
        uint64_t job = 0;
        std::vector<std::string> files; // absolute
        bool last = false;              // the job is done
    };

    // A batch is handed over once it holds this many files, or when this much time passed.
    static constexpr size_t kBatchFiles = 256;
    static constexpr int kBatchMs = 50;

    FolderWalker();
    ~FolderWalker();
    FolderWalker(const FolderWalker&) = delete;
    FolderWalker& operator=(const FolderWalker&) = delete;

    // Queues a job: files and folders, as given to PlayQueue::add. Returns its number.
    uint64_t walk(std::vector<std::string> paths);
    std::vector<Batch> take();
    // True while a job is queued or being walked, or batches wait to be taken.
    bool busy();

  private:
    struct Job {
        uint64_t id;
        std::vector<std::string> paths;
    };
    void run();

    std::mutex lock;
    std::condition_variable wake;
    std::deque<Job> jobs;
    std::vector<Batch> done;
    uint64_t lastId = 0;
    bool walking = false;
    bool quit = false;
    std::thread worker;
};
