// A fresh folder under the system's temporary directory, removed with its files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

class TempFolder {
public:
    // The folder's name starts with prefix (UTF-8), so a test may ask for one outside ASCII.
    explicit TempFolder(const std::string& prefix = "qiv-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        } else {
            ADD_FAILURE() << "no temporary folder: " << pattern;
        }
    }
    ~TempFolder() {
        if (!path.empty()) { // never anything but the folder made here
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string Path(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

// The whole file's bytes; empty when it cannot be read.
inline std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
