#include "options.h"

#include <cstdlib>
#include <cstring>

const char* const usageText =
    "usage: tallomir-armsim [--speed DEG_PER_S] [--silent] [--no-done] [--split-done] "
    "[--ack-delay MS] [--extra BYTES] [--hangup-after N] [--device PATH] "
    "[--limits JOINT=LOW-HIGH[,...]] [--view] [--camera side|top|front]";

namespace {

bool parseNumber(const char* text, double minimum, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= minimum;
}

bool parseCount(const char* text, int minimum, int& value) {
    double number = 0;
    if (!parseNumber(text, minimum, number) || number != static_cast<int>(number)) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool parseValued(const std::string& name, const char* value, SimOptions& options,
                 std::string& error) {
    if (name == "--limits") {
        return parseLimits(value, options.limits, error);
    }
    if (name == "--camera") {
        if (!parseCameraPreset(value, options.camera)) {
            error =
                std::string("bad value for --camera: ") + value + " (expected side, top or front)";
            return false;
        }
        return true;
    }
    if (name == "--speed") {
        return parseNumber(value, 0.001, options.speedDegPerS);
    }
    if (name == "--ack-delay") {
        return parseCount(value, 0, options.ackDelayMs);
    }
    if (name == "--hangup-after") {
        return parseCount(value, 1, options.hangupAfter);
    }
    if (name == "--extra") {
        options.extra = value;
        return true;
    }
    if (name == "--device") {
        options.device = value;
        return !options.device.empty();
    }
    return false;
}

bool parseFlag(const std::string& name, SimOptions& options) {
    if (name == "--silent") {
        options.silent = true;
    } else if (name == "--no-done") {
        options.noDone = true;
    } else if (name == "--split-done") {
        options.splitDone = true;
    } else if (name == "--view") {
        options.view = true;
    } else {
        return false;
    }
    return true;
}

bool takesValue(const std::string& name) {
    return name == "--speed" || name == "--ack-delay" || name == "--hangup-after" ||
           name == "--extra" || name == "--device" || name == "--limits" || name == "--camera";
}

} // namespace

bool parseOptions(int argc, char** argv, SimOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (!takesValue(name)) {
            if (!parseFlag(name, options)) {
                error = "unknown option " + name + "; " + usageText;
                return false;
            }
            continue;
        }
        if (i + 1 >= argc) {
            error = name + " needs a value; " + usageText;
            return false;
        }
        if (!parseValued(name, argv[++i], options, error)) {
            if (error.empty()) {
                error = "bad value for " + name + ": " + argv[i];
            }
            return false;
        }
    }
    return true;
}
