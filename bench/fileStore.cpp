// What the program file store costs against the least any reader of the
// whole file must do: open it, read it into memory, close it and count its
// line breaks with memchr. Both are measured in the same run, on the same
// files, warm in the page cache.
#include "elapsed.h"
#include "tempFolder.h"
#include "utils.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int programSizes[] = {1000, 10000, 100000};
constexpr int panelProgramLines = 10000;
constexpr int listRows = 9;
// The top row of the panel's list when it shows the end of the program.
constexpr int panelRow = listRows - 1;
constexpr int repetitions = 5;
constexpr double minSecondsPerRun = 0.2;
constexpr double ratioGoal = 2.0;
constexpr double frameGoalMs = 1.0;
constexpr double frameMs = 1000.0 / 60.0;

const char* const floorName = "floor";
const char* const frameName = "panel frame";

std::string waypoint(int index) {
    char text[32];
    std::snprintf(text, sizeof text, "%03d 090 045 160", index % 1000);
    return text;
}

std::string programPath(const std::string& folder, int lines) {
    return folder + "/program" + std::to_string(lines) + ".txt";
}

bool writeProgram(const std::string& path, int lines) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    for (int i = 0; i < lines; ++i) {
        std::fprintf(file, "%s\n", waypoint(i).c_str());
    }
    return std::fclose(file) == 0;
}

// The floor: the whole file into memory and its line breaks counted. The
// buffer is kept between calls, which only makes the floor lower.
size_t readWholeAndCount(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        std::abort();
    }
    buffer.resize(static_cast<size_t>(info.st_size));
    size_t used = 0;
    ssize_t got;
    while (used < buffer.size() &&
           (got = ::read(fd, buffer.data() + used, buffer.size() - used)) > 0) {
        used += static_cast<size_t>(got);
    }
    ::close(fd);
    size_t breaks = 0;
    const char* at = buffer.data();
    const char* end = at + used;
    while ((at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr) {
        ++breaks;
        ++at;
    }
    return breaks;
}

// Google Benchmark keeps its figures to itself: each run also times its
// own loop, and the table is made from the repetitions of the final run.
// Both clocks are kept: on a machine shared with other work the wall clock
// also counts the time this process waited for a core.
struct Run {
    benchmark::IterationCount iterations;
    double wallNs;
    double cpuNs;
};
std::map<std::string, std::vector<Run>> runs;

std::string key(const std::string& operation, int lines) {
    return operation + "/" + std::to_string(lines);
}

double threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

void timeLoop(benchmark::State& state, const std::string& name, const std::function<void()>& body) {
    const Clock::time_point start = Clock::now();
    const double cpuStart = threadCpuNs();
    for (auto _ : state) {
        body();
    }
    const double cpuNs = threadCpuNs() - cpuStart;
    const std::chrono::duration<double, std::nano> wall = Clock::now() - start;
    const double iterations = static_cast<double>(state.iterations());
    runs[name].push_back({state.iterations(), wall.count() / iterations, cpuNs / iterations});
}

// The median over the repetitions of the final run; NaN when it did not run.
double medianNs(const std::string& name, double Run::*clock) {
    const auto found = runs.find(name);
    if (found == runs.end()) {
        return std::nan("");
    }
    benchmark::IterationCount most = 0;
    for (const Run& run : found->second) {
        most = std::max(most, run.iterations);
    }
    std::vector<double> final;
    for (const Run& run : found->second) {
        if (run.iterations == most) {
            final.push_back(run.*clock);
        }
    }
    std::sort(final.begin(), final.end());
    return final[final.size() / 2];
}

struct Operation {
    std::string name;
    std::function<void(const std::string& path, int lines)> call;
};

std::vector<Operation> operations() {
    return {
        {floorName,
         [](const std::string& path, int) {
             static std::vector<char> buffer;
             benchmark::DoNotOptimize(readWholeAndCount(path, buffer));
         }},
        {"readLine 0",
         [](const std::string& path, int) { benchmark::DoNotOptimize(readLine(path, 0)); }},
        {"readLine " + std::to_string(panelRow),
         [](const std::string& path, int) { benchmark::DoNotOptimize(readLine(path, panelRow)); }},
        {"readLine n-2", [](const std::string& path,
                            int lines) { benchmark::DoNotOptimize(readLine(path, lines - 2)); }},
        {"countLinesInFile",
         [](const std::string& path, int) { benchmark::DoNotOptimize(countLinesInFile(path)); }},
    };
}

// The list's nine reads in one drawn frame, the view at the program's end.
void panelFrame(const std::string& path) {
    for (int row = 0; row < listRows; ++row) {
        benchmark::DoNotOptimize(readLine(path, row));
    }
}

void registerBenchmark(const std::string& name, std::function<void()> body) {
    benchmark::RegisterBenchmark(
        name.c_str(), [name, body](benchmark::State& state) { timeLoop(state, name, body); })
        ->Repetitions(repetitions)
        ->MinTime(minSecondsPerRun)
        ->ReportAggregatesOnly(true);
}

void registerAll(const std::string& folder) {
    for (int lines : programSizes) {
        const std::string path = programPath(folder, lines);
        for (const Operation& operation : operations()) {
            registerBenchmark(key(operation.name, lines),
                              [call = operation.call, path, lines] { call(path, lines); });
        }
    }
    const std::string path = programPath(folder, panelProgramLines);
    registerBenchmark(key(frameName, panelProgramLines), [path] { panelFrame(path); });
}

// A benchmark of wrong answers would be worthless: check them first.
bool answersRight(const std::string& path, int lines) {
    std::vector<char> buffer;
    return countLinesInFile(path) == lines &&
           readWholeAndCount(path, buffer) == static_cast<size_t>(lines) &&
           readLine(path, 0) == waypoint(lines - 1) &&
           readLine(path, panelRow) == waypoint(lines - 1 - panelRow) &&
           readLine(path, lines - 2) == waypoint(1);
}

std::string microseconds(double ns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", ns / 1000.0);
    return text;
}

void printTable(const char* clockName, double Run::*clock) {
    const std::vector<Operation> all = operations();
    std::printf("\nprogram file store, %s, median of %d runs; each figure / the floor of the "
                "same file (goal <= %.0fx)\n",
                clockName, repetitions, ratioGoal);
    std::printf("| lines | floor: read whole + memchr |");
    for (size_t i = 1; i < all.size(); ++i) {
        std::printf(" %s |", all[i].name.c_str());
    }
    std::printf("\n|---:|---:|");
    for (size_t i = 1; i < all.size(); ++i) {
        std::printf("---:|");
    }
    std::printf("\n");
    for (int lines : programSizes) {
        const double floorNs = medianNs(key(floorName, lines), clock);
        std::printf("| %d | %s |", lines, microseconds(floorNs).c_str());
        for (size_t i = 1; i < all.size(); ++i) {
            const double ns = medianNs(key(all[i].name, lines), clock);
            std::printf(" %s, %.2fx |", microseconds(ns).c_str(), ns / floorNs);
        }
        std::printf("\n");
    }
}

void printFrameCost() {
    const std::string name = key(frameName, panelProgramLines);
    std::printf("\npanel file cost per frame, %d x readLine (0..%d) on %d lines (goal < %.0f ms "
                "of the %.1f ms frame)\n",
                listRows, listRows - 1, panelProgramLines, frameGoalMs, frameMs);
    std::printf("  wall clock %.3f ms, CPU time %.3f ms\n", medianNs(name, &Run::wallNs) / 1e6,
                medianNs(name, &Run::cpuNs) / 1e6);
    double load[1] = {0};
    if (getloadavg(load, 1) == 1) {
        std::printf("  load average %.2f on %ld cores: the wall clock includes waiting for one\n",
                    load[0], sysconf(_SC_NPROCESSORS_ONLN));
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const TempFolder temporary("tallomir-bench");
    const std::string& folder = temporary.path();
    int status = 0;
    for (int lines : programSizes) {
        const std::string path = programPath(folder, lines);
        if (!writeProgram(path, lines) || !answersRight(path, lines)) {
            std::fprintf(stderr, "the file store gives wrong answers on %s\n", path.c_str());
            status = 1;
        }
    }
    if (status == 0) {
        registerAll(folder);
        benchmark::RunSpecifiedBenchmarks();
        printTable("CPU time", &Run::cpuNs);
        printTable("wall clock", &Run::wallNs);
        printFrameCost();
    }
    benchmark::Shutdown();
    return status;
}
