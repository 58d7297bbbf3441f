// Work split over a few plain threads that live for one call: the matcher's row groups and
// propagation blocks, the automatic alignment's two eyes and descriptor blocks. Plain
// std::thread, not OpenCV's pool: the hand-over of the results is then a join that the thread
// checker sees.
#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace stereo {

// What to do when fewer threads can be started than asked for.
enum class ThreadShortage {
    SHARE, // the threads that did start take the work of the missing ones
    FAIL,  // the start's std::system_error reaches the caller once the started threads are done
};

// Runs body(t) once on each of `threads` threads, t = 0 on the calling one, and returns when all
// have finished. An exception escaping a body is rethrown here, the first one to escape, after
// every thread has been joined. With ThreadShortage::SHARE the bodies must take their work from a
// shared counter, so that the started ones cover for those that could not start.
template <typename Body>
void RunOnThreads(int threads, ThreadShortage shortage, const Body& body) {
    std::mutex mutex;
    std::exception_ptr failure;
    const auto run = [&](int t) noexcept {
        try {
            body(t);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(mutex);
            if (!failure) {
                failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(size_t(std::max(threads - 1, 0)));
    std::exception_ptr startFailure;
    for (int t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(run, t);
        } catch (...) {
            if (shortage == ThreadShortage::FAIL) {
                startFailure = std::current_exception();
            }
            break;
        }
    }
    if (!startFailure) {
        run(0);
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (startFailure) {
        std::rethrow_exception(startFailure);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Runs task(0) ... task(count - 1) on up to `threads` threads, handing the tasks out in order.
// Once a task has thrown, no further task starts, and the exception reaches the caller.
template <typename Task>
void ForEachTask(int threads, int count, ThreadShortage shortage, const Task& task) {
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    RunOnThreads(std::min(threads, count), shortage, [&](int) {
        try {
            for (int i = next++; i < count && !stop; i = next++) {
                task(i);
            }
        } catch (...) {
            stop = true;
            throw;
        }
    });
}

} // namespace stereo
