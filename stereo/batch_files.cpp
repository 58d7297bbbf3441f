// Batch mode over many files: one base name per file, a pool of jobs, a progress line per file,
// and the failures counted.
#include "stereo/batch.h"

#include "stereo/thread_split.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace {

constexpr const char* PROGRAM = "qivstereo";
constexpr int MAX_EXIT_COUNT = 125;

// A stream in memory, so that one file's lines come out together however the jobs interleave.
struct Captured {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = nullptr;

    Captured() { stream = open_memstream(&text, &size); }
    ~Captured() {
        if (stream != nullptr) {
            std::fclose(stream);
        }
        std::free(text);
    }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;
    // The stream's text; the stream stays usable.
    std::string Text() {
        if (stream == nullptr) {
            return "";
        }
        std::fflush(stream);
        return std::string(text, size);
    }
};

bool IsWritableDirectory(const std::string& dir) {
    std::error_code error;
    return std::filesystem::is_directory(dir, error) && access(dir.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::vector<std::string> BatchBaseNames(const std::vector<std::string>& files) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& file : files) {
        const std::filesystem::path path(file);
        std::string stem = path.stem().string();
        if (stem.empty()) {
            stem = "photo";
        }
        std::string name = stem;
        if (taken.count(name) != 0) {
            const std::string extension = path.extension().string();
            name = extension.size() > 1 ? stem + "_" + extension.substr(1) : stem;
        }
        for (int counter = 2; taken.count(name) != 0; ++counter) {
            name = stem + "_" + std::to_string(counter);
        }
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}

int RunBatchFiles(const BatchOptions& options, const BatchServices& services, std::FILE* out,
                  std::FILE* err) {
    const std::string dir = options.outDir.empty() ? std::string(".") : options.outDir;
    if (!IsWritableDirectory(dir)) {
        std::fprintf(err, "%s: cannot write into '%s': not a writable directory\n", PROGRAM,
                     dir.c_str());
        return BATCH_USAGE;
    }
    const std::vector<std::string>& files = options.files;
    const std::vector<std::string> bases = BatchBaseNames(files);
    const int count = static_cast<int>(files.size());
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int jobs = std::clamp(options.jobs > 0 ? options.jobs : cores, 1, std::max(count, 1));

    std::mutex printing;
    std::atomic<int> next{0};
    int done = 0;
    int failed = 0;
    int lastStatus = BATCH_OK;
    // A job that cannot get its thread leaves its files to the others.
    stereo::RunOnThreads(jobs, stereo::ThreadShortage::SHARE, [&](int) {
        for (int i = next++; i < count; i = next++) {
            BatchOptions one = options;
            one.file = files[i];
            if (!options.layoutGiven) {
                one.layout = LayoutOfFileName(one.file.c_str());
            }
            Captured paths, messages;
            const auto start = std::chrono::steady_clock::now();
            const int status =
                paths.stream != nullptr && messages.stream != nullptr
                    ? RunBatch(one, services, bases[i].c_str(), paths.stream, messages.stream)
                    : BATCH_FAILED;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const std::string name = std::filesystem::path(files[i]).filename().string();
            const std::lock_guard<std::mutex> lock(printing);
            ++done;
            std::fprintf(err, "[%d/%d] %s … %s%.1f s\n", done, count, name.c_str(),
                         status == BATCH_OK ? "" : "failed, ", seconds);
            std::fputs(messages.Text().c_str(), err);
            std::fputs(paths.Text().c_str(), out);
            std::fflush(out);
            if (status != BATCH_OK) {
                ++failed;
                lastStatus = status;
            }
        }
    });
    if (count == 1) {
        return lastStatus;
    }
    return std::min(failed, MAX_EXIT_COUNT);
}
