#pragma once

// A fresh folder under /tmp for one test or benchmark, removed with all it
// holds when this goes out of scope.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "tallomir") {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder " + pattern);
        }
        folder = pattern;
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    const std::string& path() const { return folder; }

    // The path of a file or folder inside, which need not exist.
    std::string operator/(const std::string& name) const { return folder + "/" + name; }

  private:
    std::string folder;
};
