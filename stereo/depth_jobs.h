// Depth passes off the interaction loop: one background thread runs them on the run's own
// copies of the two views, so the loop keeps pace while a pass on a large photo takes seconds.
// Only the newest request for a map to show is kept, and a newer request calls off a map pass
// under way; requests that save are never dropped and run in the order they came. Results come
// back in the order the requests were made, so a map is never followed by an older one.
#pragma once

#include "stereo/depth_pass.h"
#include "stereo/eyes.h"
#include "stereo/image_io.h"
#include "stereo/save_results.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct DepthRequest {
    int offsetX = 0; // view A against view B, as the loop commits it
    int offsetY = 0;
    SideBySideLayout layout = LAYOUT_PARALLEL;
    int swapDepth = 0;
    StereoParameters parameters = INITIAL_STEREO_PARAMETERS;
    int displayWidth = 0; // the largest picture of the map to show; 0: the map's own size
    int displayHeight = 0;
    bool save = false;   // also write the view and map files under names
    bool extras = false; // a save also writes the wiggle GIF and the least-squares anaglyph
    SaveNames names;
};

struct DepthResult {
    long sequence = 0; // SubmitDepthJob's number of the request
    bool save = false;
    int status = DEPTH_NO_OVERLAP; // DepthStatus
    char text[64] = "";            // DepthStatusText, "" for a map
    unsigned written = 0;          // DepthFileBits of a save
    std::string failure;           // why a file of a save was not written, the first one
    int extrasWritten = 0;         // the wiggle GIF and anaglyph of a save, those written
    std::string extrasFailure;     // the first not written: its name and why
    // Called off: a map pass a newer request replaced (status DEPTH_CANCELLED), or a Save that
    // Stop ended before all its files (those written are whole).
    bool cancelled = false;
    SaveNames names;
    // The map as shown: fitted into the display size, disparities stretched to 0 ... 255.
    int displayWidth = 0;
    int displayHeight = 0;
    std::vector<std::uint8_t> display;
};

struct DepthJobs;

// Starts the thread for views A and B of W x H pixels (taken over). stereo and writer are
// called on that thread only; passes (may be null) counts the passes finished, not those
// called off.
DepthJobs* StartDepthJobs(std::vector<std::uint32_t> viewA, std::vector<std::uint32_t> viewB, int W,
                          int H, CancellableStereoFunction stereo, const ImageWriter& writer,
                          std::atomic<long>* passes = nullptr);

// Queues a request and returns its sequence number (1, 2, ...). A request that does not save
// replaces any such request still waiting, and so does a save.
long SubmitDepthJob(DepthJobs* jobs, const DepthRequest& request);

// The results finished since the last call, oldest first.
std::vector<DepthResult> TakeDepthResults(DepthJobs* jobs);

enum DepthStop {
    DEPTH_FINISH_SAVES = 0, // the saves run to their end; map passes are dropped or called off
    DEPTH_CALL_OFF = 1,     // everything called off: a save ends after the file it is writing
};

// Ends the thread as `how` says and frees jobs. The results not yet taken are returned, one
// for every save asked for.
std::vector<DepthResult> StopDepthJobs(DepthJobs* jobs, DepthStop how = DEPTH_FINISH_SAVES);

// The picture of a cols x rows map (unpadded rows) for the display: scaled down by area
// averaging to fit maxWidth x maxHeight (0: no limit) keeping its proportions, and values
// 0 ... maxDisparity stretched to 0 ... 255.
void FitDepthMap(const std::uint8_t* map, int cols, int rows, int maxDisparity, int maxWidth,
                 int maxHeight, std::vector<std::uint8_t>* display, int* width, int* height);
