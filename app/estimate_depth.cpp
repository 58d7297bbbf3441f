// The interactive depth passes. The temporary copies of the aligned views are plain buffers of
// the pass rather than image windows 7 and 8: the images matched and written are the same, and
// a window the user opened under those numbers is never touched.
#include "app/estimate_depth.h"

#include "app/stereo_state.h"
#include "platform/cv_window.h"
#include "runtime/qivlib.h"
#include "stereo/depth_jobs.h"
#include "stereo/photo_files.h"
#include "stereo/stereo_matcher.h"

#include <atomic>
#include <bit>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int SAVE_WAIT_MS = 20;

DepthJobs* jobs = nullptr;
SideBySideLayout runLayout = LAYOUT_PARALLEL;
int maxDisplayWidth = 0;
int maxDisplayHeight = 0;
long shownSequence = 0;
bool statusShowsDepth = false; // the status line holds a depth pass's complaint
// Saves under way: the request's number, whether the side-by-side file was written and why
// not, and whether the Save asked for its two other files.
struct SaveUnderWay {
    long sequence = 0;
    bool adjusted = false;
    std::string failure;
    bool extras = false;
};
std::vector<SaveUnderWay> savesUnderWay;

// Read by tests from another thread.
std::atomic<long> requestCount{0};
std::atomic<long> passCount{0};

DepthRequest CurrentRequest(int offsetX, int offsetY) {
    DepthRequest request;
    request.offsetX = offsetX;
    request.offsetY = offsetY;
    request.layout = runLayout;
    request.swapDepth = swapDepth;
    request.parameters = CurrentStereoParameters();
    request.displayWidth = maxDisplayWidth;
    request.displayHeight = maxDisplayHeight;
    return request;
}

void ShowMap(const DepthResult& result) {
    CvMat map = cvMat(result.displayHeight, result.displayWidth, CV_8UC1,
                      const_cast<std::uint8_t*>(result.display.data()));
    cvShowImage(DEPTH_WINDOW_NAME, &map);
}

void ConfirmSave(const DepthResult& result) {
    SaveUnderWay save;
    for (auto it = savesUnderWay.begin(); it != savesUnderWay.end(); ++it) {
        if (it->sequence == result.sequence) {
            save = *it;
            savesUnderWay.erase(it);
            break;
        }
    }
    const bool mapped = result.status == DEPTH_DONE;
    // A Save called off was to have its map.
    const int coreExpected = mapped || result.cancelled ? 4 : 3;
    const int coreFiles = (save.adjusted ? 1 : 0) + std::popcount(result.written);
    const bool coreWritten = coreFiles == coreExpected;
    const int files = coreFiles + result.extrasWritten;
    const int expected = coreExpected + (save.extras ? 2 : 0);
    const std::string counted = std::to_string(files) + " files";
    const std::string base = CountedBase(result.names);
    std::string text;
    if (result.cancelled) {
        text = "Save of " + base + " stopped (" + std::to_string(files) + " of " +
               std::to_string(expected) + " files)";
    } else if (coreWritten && !mapped) {
        text = "Saved " + base + " (" + counted + "), no map: " + result.text;
    } else if (files == expected) {
        text = "Saved " + base + " (" + counted + ")";
    } else {
        const std::string& why = coreWritten     ? result.extrasFailure
                                 : save.adjusted ? result.failure
                                                 : save.failure;
        text = "Save failed (" + std::to_string(files) + " of " + std::to_string(expected) +
               " files)" + (why.empty() ? "" : ": " + why);
    }
    QIV_SetStatus(text.c_str());
    statusShowsDepth = false;
}

void Show(std::vector<DepthResult> results) {
    for (const DepthResult& result : results) {
        // Results come oldest first; the check keeps a late one from covering a newer map. A
        // pass called off has nothing to show or complain of.
        if (result.sequence > shownSequence && !result.cancelled) {
            if (result.status == DEPTH_DONE) {
                ShowMap(result);
                shownSequence = result.sequence;
                if (statusShowsDepth) {
                    QIV_SetStatus("");
                    statusShowsDepth = false;
                }
            } else {
                QIV_SetStatus(result.text);
                statusShowsDepth = true;
            }
        }
        if (result.save) {
            ConfirmSave(result);
        }
    }
}

} // namespace

void StartDepthWork(const std::uint32_t* viewA, const std::uint32_t* viewB, int W, int H,
                    SideBySideLayout layout, int displayWidth, int displayHeight) {
    StopDepthWork();
    const std::size_t pixels = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
    std::vector<std::uint32_t> a(viewA, viewA + pixels), b(viewB, viewB + pixels);
    runLayout = layout;
    maxDisplayWidth = displayWidth;
    maxDisplayHeight = displayHeight;
    shownSequence = 0;
    statusShowsDepth = false;
    savesUnderWay.clear();
    jobs = StartDepthJobs(std::move(a), std::move(b), W, H, FindStereoCorrespondenceCancellable,
                          PHOTO_FILE_WRITER, &passCount);
}

void EstimateDepth(int offsetX, int offsetY) {
    if (jobs == nullptr) {
        return;
    }
    ++requestCount;
    SubmitDepthJob(jobs, CurrentRequest(offsetX, offsetY));
}

void EstimateDepthAndSave(int offsetX, int offsetY, const SaveNames& names, bool adjustedWritten,
                          const std::string& adjustedFailure, bool extras) {
    if (jobs == nullptr) {
        return;
    }
    ++requestCount;
    DepthRequest request = CurrentRequest(offsetX, offsetY);
    request.save = true;
    request.extras = extras;
    request.names = names;
    savesUnderWay.push_back(
        {SubmitDepthJob(jobs, request), adjustedWritten, adjustedFailure, extras});
}

void ShowFinishedDepth() {
    if (jobs != nullptr) {
        Show(TakeDepthResults(jobs));
    }
}

void StopDepthWork(bool callOff) {
    if (jobs == nullptr) {
        return;
    }
    // While Saves finish after Quit, Stop or Exit still calls them off.
    while (!callOff && !savesUnderWay.empty()) {
        Show(TakeDepthResults(jobs));
        callOff = !savesUnderWay.empty() && QIV_Wait(SAVE_WAIT_MS) != 0;
    }
    std::vector<DepthResult> rest =
        StopDepthJobs(jobs, callOff ? DEPTH_CALL_OFF : DEPTH_FINISH_SAVES);
    jobs = nullptr;
    Show(std::move(rest));
}

long DepthPassCount() {
    return passCount;
}

long DepthRequestCount() {
    return requestCount;
}
