#include "command_line/document_batch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "word_engine/doo_with_file.h"

namespace pravelo::command_line {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Batch {
  public:
    Batch(const std::vector<std::string>& documents, const BatchSetup& setup,
          ProgressDisplay& progress)
        : documents_(documents), setup_(setup), progress_(progress) {
        for (const auto& path : documents) {
            DocumentOutcome outcome;
            outcome.path = path;
            outcomes_.push_back(outcome);
        }
    }

    std::vector<DocumentOutcome> run() {
        const auto start = Clock::now();
        const int workers =
            std::clamp(setup_.concurrent, 1, std::max(1, static_cast<int>(documents_.size())));
        running_ = workers;
        std::vector<std::thread> threads;
        for (int i = 0; i < workers; ++i) threads.emplace_back([this, i] { work(i); });
        {
            std::unique_lock lock(mutex_);
            int seen = finished_;
            while (running_ > 0) {
                lock.unlock();
                progress_.tick(secondsSince(start));
                lock.lock();
                // The last worker may have ended while the line was drawn.
                changed_.wait_for(lock, std::chrono::milliseconds(250),
                                  [&] { return running_ == 0 || finished_ != seen; });
                seen = finished_;
            }
        }
        for (auto& thread : threads) thread.join();
        return std::move(outcomes_);
    }

  private:
    void work(int index) {
        try {
            std::unique_ptr<platform::OfficeLauncher> own;
            platform::OfficeLauncher* office = &setup_.platform.office;
            if (index > 0) {
                own = setup_.moreOffices();
                office = own.get();
            }
            const platform::Platform& base = setup_.platform;
            const platform::Platform platform{base.version,   base.machine,  base.files,
                                              base.messages,  base.form,     *office,
                                              base.processes, base.registry, base.archive};
            word_engine::DooWithFile worker(platform, setup_.settings);
            worker.shareArchive(setup_.archive);
            while (const auto next = take()) editOne(worker, *next);
        } catch (const std::exception&) {
            // A worker whose office cannot be had leaves its share to the others.
        }
        std::lock_guard lock(mutex_);
        --running_;
        changed_.notify_all();
    }

    std::optional<std::size_t> take() {
        std::lock_guard lock(mutex_);
        if (setup_.stop.stopRequested() || next_ >= documents_.size()) return std::nullopt;
        return next_++;
    }

    void editOne(word_engine::DooWithFile& worker, std::size_t index) {
        const std::string& path = documents_[index];
        progress_.started(path);
        const auto start = Clock::now();
        std::optional<platform::Error> failure;
        const bool edited = worker.EditDocument(path, failure);
        DocumentOutcome outcome;
        outcome.path = path;
        outcome.result = edited ? DocumentResult::Edited : DocumentResult::Failed;
        outcome.seconds = secondsSince(start);
        if (failure) {
            outcome.errorNumber = failure->number();
            outcome.description = failure->description();
        }
        {
            std::lock_guard lock(mutex_);
            outcomes_[index] = outcome;
            ++finished_;
        }
        progress_.finished(outcome);
        changed_.notify_all();
    }

    const std::vector<std::string>& documents_;
    const BatchSetup& setup_;
    ProgressDisplay& progress_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<DocumentOutcome> outcomes_;
    std::size_t next_ = 0;
    int running_ = 0;
    int finished_ = 0;
};

}  // namespace

std::vector<DocumentOutcome> RunDocuments(const std::vector<std::string>& documents,
                                          const BatchSetup& setup, ProgressDisplay& progress) {
    return Batch(documents, setup, progress).run();
}

}  // namespace pravelo::command_line
