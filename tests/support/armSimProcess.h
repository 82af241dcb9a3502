#pragma once

// The simulated arm controller as a child process, its log in a temporary
// file; stopped by PID when this goes out of scope, whatever happened. What
// went wrong, if anything, is in problem(): tests turn it into a failure,
// benchmarks into a message.

#include "fileText.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class ArmSimProcess {
  public:
    explicit ArmSimProcess(const std::vector<std::string>& options) {
        char pattern[] = "/tmp/tallomir-armsim-XXXXXX";
        const int logFd = mkostemp(pattern, O_CLOEXEC);
        if (logFd < 0) {
            failure = "cannot create the simulator log";
            return;
        }
        logPath = pattern;
        start(logFd, options);
        ::close(logFd);
        waitForDevice();
    }

    ArmSimProcess(const ArmSimProcess&) = delete;
    ArmSimProcess& operator=(const ArmSimProcess&) = delete;

    ~ArmSimProcess() {
        stop();
        if (!logPath.empty()) {
            std::remove(logPath.c_str());
        }
    }

    const std::string& device() const { return devicePath; }

    // Empty while all went well.
    const std::string& problem() const { return failure; }

    // The frames the simulator accepted so far, as received.
    std::vector<std::string> frames() const {
        std::vector<std::string> found;
        std::istringstream lines(log());
        std::string line;
        const std::string prefix = "frame ";
        while (std::getline(lines, line)) {
            if (line.compare(0, prefix.size(), prefix) == 0) {
                found.push_back(
                    line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size()));
            }
        }
        return found;
    }

    // Everything it printed so far, the device line included.
    std::string log() const { return readFile(logPath); }

    // Ends it by its PID (SIGTERM, then SIGKILL if it ignores that).
    void stop() {
        if (pid <= 0) {
            return;
        }
        kill(pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + stopTimeout;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                failure = "the simulator ignored SIGTERM";
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(pollStep);
        }
        pid = -1;
    }

  private:
    static constexpr std::chrono::milliseconds startTimeout{5000};
    static constexpr std::chrono::milliseconds stopTimeout{3000};
    static constexpr std::chrono::milliseconds pollStep{5};

    void start(int logFd, const std::vector<std::string>& options) {
        std::vector<std::string> words{ARMSIM_PATH};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, logFd, STDOUT_FILENO);
        const int failed = posix_spawn(&pid, ARMSIM_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            pid = -1;
            failure = std::string("cannot start ") + ARMSIM_PATH;
        }
    }

    void waitForDevice() {
        const auto deadline = std::chrono::steady_clock::now() + startTimeout;
        while (pid > 0 && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                failure = "the simulator ended at once:\n" + log();
                return;
            }
            const std::string text = log();
            const std::size_t end = text.find('\n');
            if (end != std::string::npos) {
                devicePath = text.substr(0, end);
                return;
            }
            std::this_thread::sleep_for(pollStep);
        }
        if (failure.empty()) {
            failure = "the simulator printed no device line";
        }
    }

    pid_t pid = -1;
    std::string logPath;
    std::string devicePath;
    std::string failure;
};
