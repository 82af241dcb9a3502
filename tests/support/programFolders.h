#pragma once

// The panel's working folder for one test: WORK/bin is the working
// directory, WORK/Programs beside it, where "../Programs/" leads. The old
// working directory comes back, and WORK goes, when this goes out of scope.

#include "tempFolder.h"

#include <filesystem>
#include <string>

class ProgramFolders {
  public:
    ProgramFolders() : saved(std::filesystem::current_path()) {
        std::filesystem::create_directory(work / "bin");
        std::filesystem::create_directory(work / "Programs");
        std::filesystem::current_path(work / "bin");
    }
    ~ProgramFolders() { std::filesystem::current_path(saved); }
    ProgramFolders(const ProgramFolders&) = delete;
    ProgramFolders& operator=(const ProgramFolders&) = delete;

    // The file the panel opens for a program name.
    std::string program(const std::string& name) const {
        return work / ("Programs/" + name + ".txt");
    }

    const std::string& root() const { return work.path(); }

  private:
    TempFolder work;
    std::filesystem::path saved;
};
