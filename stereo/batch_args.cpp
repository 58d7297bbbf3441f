// Batch mode's command line.
#include "stereo/batch_args.h"
#include "stereo/whole_number.h"

#include <cstring>
#include <string_view>

namespace {

constexpr const char* PROGRAM = "qivstereo";

bool ParseInt(std::string_view text, int* value) {
    return ParseWholeNumber(text, value) == WHOLE_NUMBER_OK;
}

bool ParseOffset(std::string_view text, int* dx, int* dy) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    return ParseInt(text.substr(0, comma), dx) && ParseInt(text.substr(comma + 1), dy);
}

int Fail(std::string* message, const std::string& text) {
    *message = text;
    return BATCH_USAGE;
}

} // namespace

const char* BatchUsage() {
    return "usage: qivstereo [IMAGE...]\n"
           "       qivstereo --batch FILE... [--layout parallel|cross] [--offset DX,DY | "
           "--auto-align]\n"
           "                 [--max-disparity N] [--out DIR] [--wiggle-gif] "
           "[--anaglyph plain|dubois]\n"
           "                 [--jobs N]\n"
           "       qivstereo --help\n"
           "parallel: left eye in the left half (default); cross: right eye in the left half\n"
           "(default for .jps files). Each FILE's outputs are named after its stem.\n";
}

bool IsBatchCommand(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--batch" || arg.starts_with("--batch=")) {
            return true;
        }
    }
    return false;
}

bool IsHelpCommand(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

int ParseBatchArguments(int argc, const char* const* argv, BatchOptions* options,
                        std::string* message) {
    BatchOptions parsed;
    bool haveBatch = false, haveOffset = false, haveOut = false, haveAnaglyph = false,
         haveJobs = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            *options = parsed;
            return BATCH_OK;
        }
        if (!arg.starts_with("--")) {
            if (!haveBatch) {
                return Fail(message, "unexpected argument '" + std::string(arg) + "'");
            }
            parsed.files.emplace_back(arg);
            continue;
        }
        if (arg == "--wiggle-gif") {
            if (parsed.wiggleGif) {
                return Fail(message, "--wiggle-gif is given more than once");
            }
            parsed.wiggleGif = true;
            continue;
        }
        if (arg == "--auto-align") {
            if (parsed.autoAlign) {
                return Fail(message, "--auto-align is given more than once");
            }
            parsed.autoAlign = true;
            continue;
        }
        // Options take their value as the next argument or after '='.
        std::string_view name = arg;
        std::string_view value;
        bool haveValue = false;
        if (const std::size_t equals = arg.find('='); equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            haveValue = true;
        }
        bool* seen = nullptr;
        const char* valueName = nullptr;
        if (name == "--batch") {
            seen = &haveBatch;
            valueName = "FILE";
        } else if (name == "--offset") {
            seen = &haveOffset;
            valueName = "DX,DY";
        } else if (name == "--max-disparity") {
            seen = &parsed.maxDisparityGiven;
            valueName = "N";
        } else if (name == "--out") {
            seen = &haveOut;
            valueName = "DIR";
        } else if (name == "--layout") {
            seen = &parsed.layoutGiven;
            valueName = "parallel|cross";
        } else if (name == "--anaglyph") {
            seen = &haveAnaglyph;
            valueName = "plain|dubois";
        } else if (name == "--jobs") {
            seen = &haveJobs;
            valueName = "N";
        } else {
            return Fail(message, "unknown option '" + std::string(name) + "'");
        }
        if (*seen) {
            return Fail(message, std::string(name) + " is given more than once");
        }
        *seen = true;
        if (!haveValue) {
            // A following option is a forgotten value, not a value; negative numbers are not
            // options.
            if (i + 1 >= argc || std::string_view(argv[i + 1]).starts_with("--")) {
                return Fail(message, std::string(name) + " needs a value " + valueName);
            }
            value = argv[++i];
        }
        if (value.empty()) {
            return Fail(message, std::string(name) + " needs a value " + valueName);
        }
        if (name == "--batch") {
            parsed.files.insert(parsed.files.begin(), std::string(value));
        } else if (name == "--anaglyph") {
            if (value != "plain" && value != "dubois") {
                return Fail(message,
                            "--anaglyph '" + std::string(value) + "' is neither plain nor dubois");
            }
            parsed.anaglyph = value == "dubois" ? ANAGLYPH_DUBOIS : ANAGLYPH_PLAIN;
        } else if (name == "--jobs") {
            int n = 0;
            if (!ParseInt(value, &n) || n < 1 || n > 256) {
                return Fail(message, "--jobs '" + std::string(value) + "' is not 1 to 256");
            }
            parsed.jobs = n;
        } else if (name == "--offset") {
            if (!ParseOffset(value, &parsed.offsetX, &parsed.offsetY)) {
                return Fail(message, "--offset '" + std::string(value) +
                                         "' is not DX,DY with two whole numbers");
            }
        } else if (name == "--max-disparity") {
            int n = 0;
            if (!ParseInt(value, &n)) {
                return Fail(message,
                            "--max-disparity '" + std::string(value) + "' is not a whole number");
            }
            if (n < 1 || n > 255) {
                return Fail(message,
                            "--max-disparity " + std::to_string(n) + " is outside 1 to 255");
            }
            parsed.maxDisparity = n;
        } else if (name == "--layout") {
            if (!ParseLayoutName(std::string(value).c_str(), &parsed.layout)) {
                return Fail(message,
                            "--layout '" + std::string(value) + "' is neither parallel nor cross");
            }
        } else {
            parsed.outDir = value;
        }
    }
    if (!parsed.files.empty()) {
        parsed.file = parsed.files.front();
    }
    if (!parsed.layoutGiven) {
        parsed.layout = LayoutOfFileName(parsed.file.c_str());
    }
    if (!haveBatch) {
        return Fail(message, std::string("--batch FILE is required (") + PROGRAM +
                                 " --help shows the usage)");
    }
    if (haveOffset && parsed.autoAlign) {
        return Fail(message, "--offset and --auto-align exclude each other");
    }
    *options = parsed;
    return BATCH_OK;
}
