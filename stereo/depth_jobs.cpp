// The background thread of the depth passes.
#include "stereo/depth_jobs.h"

#include "stereo/save_extras.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

struct DepthJobs {
    std::vector<std::uint32_t> viewA;
    std::vector<std::uint32_t> viewB;
    int W = 0;
    int H = 0;
    CancellableStereoFunction stereo = nullptr;
    ImageWriter writer{};

    std::mutex mutex;
    std::condition_variable wake;
    long submitted = 0;
    std::deque<std::pair<long, DepthRequest>> saves;
    std::optional<std::pair<long, DepthRequest>> show;
    std::vector<DepthResult> finished;
    bool stopping = false;
    bool callingOff = false;         // DEPTH_CALL_OFF: every request gives up
    bool runningShow = false;        // the request under way is a map pass a newer one replaces
    std::atomic<bool> cancel{false}; // the request under way gives up
    std::atomic<long>* passes = nullptr;
    std::thread thread;
};

namespace {

DepthResult RunRequest(DepthJobs& jobs, long sequence, const DepthRequest& request,
                       DepthPass* pass) {
    DepthResult result;
    result.sequence = sequence;
    result.save = request.save;
    result.names = request.names;
    if (jobs.cancel) {
        result.status = DEPTH_CANCELLED;
        result.cancelled = true;
        return result;
    }
    const EyePair eyes = EyesOf(jobs.viewA.data(), jobs.viewB.data(), request.offsetX,
                                request.offsetY, request.layout);
    if (request.save && request.extras) {
        // Before the pass, so that Stop during the pass leaves them written.
        const AlignedEyes aligned{jobs.W,     jobs.H,       eyes.left,
                                  eyes.right, eyes.offsetX, eyes.offsetY};
        const ExtrasOutcome extras =
            SaveExtraFiles(request.names, aligned, jobs.writer, &jobs.cancel);
        result.extrasWritten = extras.written;
        result.extrasFailure = extras.failure;
        result.cancelled = extras.cancelled;
    }
    DepthInput input = {
        eyes.left,         eyes.right,        jobs.W, jobs.H, eyes.offsetX, eyes.offsetY,
        request.swapDepth, request.parameters};
    input.cancel = &jobs.cancel;
    result.status = RunDepthPass(input, jobs.stereo, pass);
    DepthStatusText(*pass, result.text, sizeof result.text);
    if (result.status == DEPTH_CANCELLED) {
        result.cancelled = true;
        return result;
    }
    if (request.save) {
        std::string reasons[3];
        if (WriteDepthFiles(*pass, &result.names, jobs.writer, &result.written, reasons,
                            &jobs.cancel) == SAVE_CANCELLED) {
            result.cancelled = true;
        }
        for (const std::string& reason : reasons) {
            if (result.failure.empty()) {
                result.failure = reason;
            }
        }
    }
    if (result.status == DEPTH_DONE && !result.cancelled) {
        FitDepthMap(pass->map.data(), pass->overlap.cols, pass->overlap.rows,
                    request.parameters.maxDisparity, request.displayWidth, request.displayHeight,
                    &result.display, &result.displayWidth, &result.displayHeight);
    }
    return result;
}

void Serve(DepthJobs* jobs) {
    DepthPass pass; // kept, so its buffers and working images are reused
    std::unique_lock lock(jobs->mutex);
    for (;;) {
        jobs->wake.wait(lock, [&] { return jobs->stopping || !jobs->saves.empty() || jobs->show; });
        std::pair<long, DepthRequest> next;
        if (!jobs->saves.empty()) {
            next = std::move(jobs->saves.front());
            jobs->saves.pop_front();
        } else if (jobs->show && !jobs->stopping) {
            next = std::move(*jobs->show);
            jobs->show.reset();
        } else {
            return;
        }
        jobs->runningShow = !next.second.save;
        jobs->cancel = jobs->callingOff;
        lock.unlock();
        DepthResult result = RunRequest(*jobs, next.first, next.second, &pass);
        lock.lock();
        jobs->runningShow = false;
        if (!result.cancelled && jobs->passes != nullptr) {
            ++*jobs->passes;
        }
        jobs->finished.push_back(std::move(result));
    }
}

} // namespace

DepthJobs* StartDepthJobs(std::vector<std::uint32_t> viewA, std::vector<std::uint32_t> viewB, int W,
                          int H, CancellableStereoFunction stereo, const ImageWriter& writer,
                          std::atomic<long>* passes) {
    auto* jobs = new DepthJobs;
    jobs->viewA = std::move(viewA);
    jobs->viewB = std::move(viewB);
    jobs->W = W;
    jobs->H = H;
    jobs->stereo = stereo;
    jobs->writer = writer;
    jobs->passes = passes;
    jobs->thread = std::thread(Serve, jobs);
    return jobs;
}

long SubmitDepthJob(DepthJobs* jobs, const DepthRequest& request) {
    std::lock_guard lock(jobs->mutex);
    const long sequence = ++jobs->submitted;
    // A waiting map request is older than this one, whatever this one is: its map would only
    // be replaced.
    jobs->show.reset();
    if (jobs->runningShow) {
        jobs->cancel = true;
    }
    if (request.save) {
        jobs->saves.emplace_back(sequence, request);
    } else {
        jobs->show.emplace(sequence, request);
    }
    jobs->wake.notify_one();
    return sequence;
}

std::vector<DepthResult> TakeDepthResults(DepthJobs* jobs) {
    std::lock_guard lock(jobs->mutex);
    std::vector<DepthResult> taken;
    taken.swap(jobs->finished);
    return taken;
}

std::vector<DepthResult> StopDepthJobs(DepthJobs* jobs, DepthStop how) {
    {
        std::lock_guard lock(jobs->mutex);
        jobs->stopping = true;
        jobs->show.reset();
        jobs->callingOff = how == DEPTH_CALL_OFF;
        if (jobs->runningShow || jobs->callingOff) {
            jobs->cancel = true;
        }
    }
    jobs->wake.notify_one();
    jobs->thread.join();
    std::vector<DepthResult> rest = std::move(jobs->finished);
    delete jobs;
    return rest;
}

void FitDepthMap(const std::uint8_t* map, int cols, int rows, int maxDisparity, int maxWidth,
                 int maxHeight, std::vector<std::uint8_t>* display, int* width, int* height) {
    display->clear();
    *width = *height = 0;
    if (map == nullptr || cols <= 0 || rows <= 0) {
        return;
    }
    double scale = 1.0;
    if (maxWidth > 0) {
        scale = std::min(scale, static_cast<double>(maxWidth) / cols);
    }
    if (maxHeight > 0) {
        scale = std::min(scale, static_cast<double>(maxHeight) / rows);
    }
    const int w = std::max(1, static_cast<int>(cols * scale));
    const int h = std::max(1, static_cast<int>(rows * scale));
    const cv::Mat source(rows, cols, CV_8UC1, const_cast<std::uint8_t*>(map));
    cv::Mat fitted;
    if (w == cols && h == rows) {
        fitted = source;
    } else {
        cv::resize(source, fitted, cv::Size(w, h), 0, 0, cv::INTER_AREA);
    }
    const int top = std::max(1, maxDisparity);
    std::uint8_t stretch[256];
    for (int v = 0; v < 256; ++v) {
        stretch[v] = static_cast<std::uint8_t>(std::min(255, v * 255 / top));
    }
    display->resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = fitted.ptr<std::uint8_t>(y);
        std::uint8_t* out = display->data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            out[x] = stretch[row[x]];
        }
    }
    *width = w;
    *height = h;
}
