// The simulator's parts on their own, with made-up clock values: no
// process, no line, no waiting.
#include "armState.h"
#include "eventLog.h"
#include "frameReader.h"
#include "jointLimits.h"
#include "motion.h"
#include "options.h"
#include "viewCamera.h"
#include "viewPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

const SimClock::time_point t0{};

SimClock::time_point at(int ms) {
    return t0 + milliseconds(ms);
}

std::string describe(const std::vector<ReaderEvent>& events) {
    std::string text;
    for (const ReaderEvent& event : events) {
        text +=
            (event.kind == ReaderEvent::Kind::frame ? "frame " : "dropped ") + event.bytes + ";";
    }
    return text;
}

TEST(FrameReader, CutsTheStreamByFrameLengthAndSilence) {
    struct Chunk {
        int ms;
        std::string bytes; // empty: only time passes (idle)
    };
    struct Case {
        const char* name;
        std::vector<Chunk> chunks;
        std::string events;
    };
    const std::vector<Case> cases{
        {"one frame", {{0, "360097090160"}}, "frame 360097090160;"},
        {"base of four digits", {{0, "1359090005160"}}, "frame 1359090005160;"},
        {"two frames in one read",
         {{0, "360000000160405090005160"}},
         "frame 360000000160;frame 405090005160;"},
        {"a frame over reads close together",
         {{0, "36009"}, {15, "7090"}, {30, "160"}},
         "frame 360097090160;"},
        {"a short frame and silence", {{0, "36009"}, {25, ""}}, "dropped 36009;"},
        {"silence not yet long enough", {{0, "36009"}, {19, ""}}, ""},
        {"a late read after silence splits",
         {{0, "36009"}, {40, "360097090160"}},
         "dropped 36009;frame 360097090160;"},
        {"a letter spoils until silence",
         {{0, "36x097090160360097090160"}, {25, ""}},
         "dropped 36x097090160360097090160;"},
        {"after the spoilt part, frames again",
         {{0, "ab"}, {30, "360000000160"}},
         "dropped ab;frame 360000000160;"},
    };
    for (const Case& c : cases) {
        FrameReader reader;
        std::vector<ReaderEvent> events;
        for (const Chunk& chunk : c.chunks) {
            const auto now = at(chunk.ms);
            const auto more =
                chunk.bytes.empty() ? reader.idle(now) : reader.feed(chunk.bytes, now);
            events.insert(events.end(), more.begin(), more.end());
        }
        EXPECT_EQ(describe(events), c.events) << c.name;
    }
}

TEST(EventLog, ShowsBytesAsOnePrintableToken) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"360097090160", "360097090160"},
        {"a b\r\n", "a\\x20b\\x0d\\x0a"},
        {"back\\slash", "back\\x5cslash"},
        {std::string("\0\xff", 2), "\\x00\\xff"},
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(printable(bytes), shown);
    }
}

TEST(FrameReader, SaysWhenItNextDropsSomething) {
    FrameReader reader;
    EXPECT_FALSE(reader.silenceDeadline());
    reader.feed("3600", at(100));
    ASSERT_TRUE(reader.silenceDeadline());
    EXPECT_EQ(*reader.silenceDeadline(), at(100) + resyncSilence);
    reader.feed("97090160", at(110));
    EXPECT_FALSE(reader.silenceDeadline()) << "nothing left hanging after a whole frame";
}

TEST(Decoder, ReadsTheFourFieldsWithTheBaseLessItsOffset) {
    struct Case {
        std::string frame;
        ArmPosition position;
    };
    const std::vector<Case> cases{
        {"360097090160", {0, 97, 90, 160}},     {"405090005160", {45, 90, 5, 160}},
        {"999999999999", {639, 999, 999, 999}}, {"1000000000000", {640, 0, 0, 0}},
        {"1359001002003", {999, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        const ArmPosition got = decodeFrame(c.frame);
        EXPECT_EQ(describePosition(got), describePosition(c.position)) << c.frame;
    }
}

TEST(MotionTime, LargestChangeAtTheSpeedNeverUnder100ms) {
    struct Case {
        ArmPosition from;
        ArmPosition to;
        double speed;
        long ms;
    };
    const std::vector<Case> cases{
        {{0, 0, 0, 160}, {0, 97, 90, 160}, 90, 1078},   // the shoulder leads
        {{0, 97, 90, 160}, {0, 0, 0, 160}, 90, 1078},   // either direction
        {{0, 0, 0, 160}, {180, 10, 10, 160}, 90, 2000}, // the base leads
        {{0, 0, 0, 160}, {0, 0, 0, 90}, 35, 2000},      // the gripper leads
        {{0, 0, 0, 160}, {0, 1, 0, 160}, 90, 100},      // the floor
        {{0, 0, 0, 160}, {0, 0, 0, 160}, 90, 100},      // no change at all
        {{0, 0, 0, 160}, {0, 9, 0, 160}, 90, 100},      // exactly the floor
        {{0, 0, 0, 160}, {0, 10, 0, 160}, 90, 111},     // rounded to the ms
    };
    for (const Case& c : cases) {
        EXPECT_EQ(motionTime(c.from, c.to, c.speed).count(), c.ms)
            << describePosition(c.from) << " -> " << describePosition(c.to);
    }
}

TEST(ArmMotion, EveryJointLeavesAndArrivesTogether) {
    const ArmMotion motion{{0, 0, 0, 160}, {90, 180, 45, 90}, at(1000), at(3000)};
    struct Case {
        int ms;
        Pose pose;
    };
    const std::vector<Case> cases{
        {0, {0, 0, 0, 160}},
        {1000, {0, 0, 0, 160}},
        {1500, {22.5f, 45, 11.25f, 142.5f}},
        {2000, {45, 90, 22.5f, 125}},
        {3000, {90, 180, 45, 90}},
        {9000, {90, 180, 45, 90}},
    };
    for (const Case& c : cases) {
        const Pose got = poseAt(motion, at(c.ms));
        EXPECT_FLOAT_EQ(got.base, c.pose.base) << c.ms;
        EXPECT_FLOAT_EQ(got.shoulder, c.pose.shoulder) << c.ms;
        EXPECT_FLOAT_EQ(got.elbow, c.pose.elbow) << c.ms;
        EXPECT_FLOAT_EQ(got.gripper, c.pose.gripper) << c.ms;
    }
}

TEST(ArmMotion, ANewMotionSetsOffFromWhereTheArmIsThen) {
    ArmState arm;
    LimitedPosition first;
    first.position = {0, 100, 0, 160};
    arm.startMotion(first, at(0), at(1000));
    EXPECT_TRUE(arm.snapshot(at(500)).moving);
    EXPECT_FLOAT_EQ(arm.snapshot(at(500)).current.shoulder, 50);
    // Ordered elsewhere halfway (a controller that never says "done").
    LimitedPosition second;
    second.position = {0, 0, 0, 160};
    arm.startMotion(second, at(500), at(1500));
    EXPECT_FLOAT_EQ(arm.snapshot(at(500)).current.shoulder, 50) << "no jump";
    EXPECT_FLOAT_EQ(arm.snapshot(at(1000)).current.shoulder, 25);
    const ArmSnapshot end = arm.snapshot(at(1500));
    EXPECT_FALSE(end.moving);
    EXPECT_FLOAT_EQ(end.current.shoulder, 0);
}

TEST(JointLimits, ParsesRangesPerJoint) {
    JointLimits limits;
    std::string error;
    ASSERT_TRUE(parseLimits("shoulder=15-165,gripper=90-180", limits, error)) << error;
    ASSERT_TRUE(parseLimits("base=0-270", limits, error)) << error;
    EXPECT_TRUE(limits[0].set && limits[0].low == 0 && limits[0].high == 270);
    EXPECT_TRUE(limits[1].set && limits[1].low == 15 && limits[1].high == 165);
    EXPECT_FALSE(limits[2].set);
    EXPECT_TRUE(limits[3].set && limits[3].low == 90 && limits[3].high == 180);
}

TEST(JointLimits, RejectsMalformedRangesSayingWhatWasExpected) {
    for (const std::string bad :
         {"", "shoulder", "shoulder=", "shoulder=15", "shoulder=15-", "shoulder=-165",
          "shoulder=165-15", "wrist=0-10", "shoulder=1.5-10", "shoulder=a-b", "shoulder=0-10,",
          ",shoulder=0-10", "shoulder=0-10,,elbow=0-5", "Shoulder=0-10"}) {
        JointLimits limits;
        std::string error;
        EXPECT_FALSE(parseLimits(bad, limits, error)) << "'" << bad << "'";
        EXPECT_NE(error.find("expected JOINT=LOW-HIGH"), std::string::npos) << error;
        EXPECT_FALSE(limits[1].set) << "nothing taken from '" << bad << "'";
    }
}

TEST(JointLimits, AJointOutsideStopsAtTheNearerEndAndSaysSo) {
    JointLimits limits;
    std::string error;
    ASSERT_TRUE(parseLimits("base=10-200,shoulder=15-165,elbow=0-170", limits, error));
    struct Case {
        ArmPosition wanted;
        ArmPosition reached;
        JointFlags stopped;
        std::string line; // the first log line, if any
    };
    const std::vector<Case> cases{
        {{0, 97, 90, 160},
         {10, 97, 90, 160},
         {true, false, false, false},
         "limit base 0 outside 10-200, stopped at 10"},
        {{100, 170, 90, 160},
         {100, 165, 90, 160},
         {false, true, false, false},
         "limit shoulder 170 outside 15-165, stopped at 165"},
        {{100, 15, 170, 999}, {100, 15, 170, 999}, {false, false, false, false}, ""},
        {{300, 0, 999, 0},
         {200, 15, 170, 0},
         {true, true, true, false},
         "limit base 300 outside 10-200, stopped at 200"},
    };
    for (const Case& c : cases) {
        const LimitedPosition got = applyLimits(c.wanted, limits);
        EXPECT_EQ(describePosition(got.position), describePosition(c.reached));
        EXPECT_EQ(got.stopped, c.stopped) << describePosition(c.wanted);
        for (int joint = 0; joint < jointCount; ++joint) {
            EXPECT_EQ(got.logLines[joint].empty(), !c.stopped[joint]) << jointNames[joint];
        }
        if (!c.line.empty()) {
            const std::string& first =
                *std::find_if(got.logLines.begin(), got.logLines.end(),
                              [](const std::string& l) { return !l.empty(); });
            EXPECT_EQ(first, c.line);
        }
    }
}

// argv as main gets it.
bool parse(std::vector<std::string> words, SimOptions& options, std::string& error) {
    words.insert(words.begin(), "tallomir-armsim");
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    return parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(Options, ViewCameraAndLimits) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--view", "--camera", "top", "--limits", "elbow=0-170", "--no-done"},
                      options, error))
        << error;
    EXPECT_TRUE(options.view);
    EXPECT_EQ(options.camera, CameraPreset::top);
    EXPECT_TRUE(options.limits[2].set);
    EXPECT_TRUE(options.noDone);
    SimOptions plain;
    ASSERT_TRUE(parse({}, plain, error));
    EXPECT_FALSE(plain.view);
    EXPECT_EQ(plain.camera, CameraPreset::reset);
}

TEST(Options, ABadCommandLineIsOneLineSayingWhatWasExpected) {
    const std::string usage = "; usage: tallomir-armsim [--speed DEG_PER_S]";
    struct Case {
        std::vector<std::string> words;
        std::string start; // of the message, which is one line
    };
    const std::vector<Case> cases{
        {{"--camera", "back"}, "bad value for --camera: back (expected side, top or front)"},
        {{"--camera"}, "--camera needs a value" + usage},
        {{"--limits", "elbow=170-0"},
         "bad value for --limits: elbow=170-0 (expected JOINT=LOW-HIGH[,...] with JOINT base, "
         "shoulder, elbow or gripper and whole numbers LOW <= HIGH)"},
        {{"--view=yes"}, "unknown option --view=yes" + usage},
        {{"--speed", "0"}, "bad value for --speed: 0"},
    };
    for (const Case& c : cases) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(parse(c.words, options, error)) << c.start;
        EXPECT_EQ(error.substr(0, c.start.size()), c.start);
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

struct Orbit {
    float distance;
    float yawDegrees; // of the camera's offset from its target, around the vertical
    float pitchDegrees;
};

Orbit orbitOf(const CameraPlacement& placed) {
    const float dx = placed.position.x - placed.target.x;
    const float dy = placed.position.y - placed.target.y;
    const float dz = placed.position.z - placed.target.z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float degrees = 180.0f / 3.14159265f;
    return {distance, std::atan2(dx, dz) * degrees, std::asin(dy / distance) * degrees};
}

TEST(ViewCamera, DragOrbitsFromWhereTheViewIsAndTheWheelZooms) {
    ViewCamera camera;
    const Orbit start = orbitOf(camera.placement(0));
    camera.orbit(30, -5, 0);
    const Orbit turned = orbitOf(camera.placement(0));
    EXPECT_NEAR(turned.distance, start.distance, 1e-4);
    EXPECT_NEAR(turned.yawDegrees, start.yawDegrees + 30, 1e-3);
    EXPECT_NEAR(turned.pitchDegrees, start.pitchDegrees - 5, 1e-3);
    camera.orbit(0, 500, 0);
    EXPECT_LT(orbitOf(camera.placement(0)).pitchDegrees, 90) << "never over the top";
    camera.zoom(2);
    EXPECT_LT(orbitOf(camera.placement(0)).distance, start.distance);
    camera.zoom(-2);
    EXPECT_NEAR(orbitOf(camera.placement(0)).distance, start.distance, 1e-4);

    // From the side view a drag starts where the side camera stands.
    ViewCamera side(CameraPreset::side);
    const Orbit square = orbitOf(side.placement(40));
    side.orbit(0, 0, 40);
    EXPECT_TRUE(side.orbiting());
    EXPECT_FALSE(side.placement(40).orthographic);
    EXPECT_NEAR(orbitOf(side.placement(40)).yawDegrees, square.yawDegrees, 1e-3);
    side.choose(CameraPreset::side);
    EXPECT_FALSE(side.orbiting());
    EXPECT_TRUE(side.placement(40).orthographic);
}

TEST(ViewPlacement, OnOneMonitorItKeepsClearOfWhatIsTypedAndClicked) {
    // The panel scales its 1280 x 720 drawing to the monitor: its action bar
    // ends at 100 and its column of boxes starts at 906.
    for (const ScreenRect& monitor : std::vector<ScreenRect>{
             {0, 0, 1280, 720}, {0, 0, 1920, 1080}, {0, 0, 1366, 768}, {100, 50, 2560, 1440}}) {
        const ScreenRect got = viewPlacement({monitor});
        const std::string where =
            std::to_string(monitor.width) + "x" + std::to_string(monitor.height);
        EXPECT_GE(got.y - monitor.y, monitor.height * 100 / 720) << where;
        EXPECT_LE(got.x - monitor.x + got.width, monitor.width * 906 / 1280) << where;
        EXPECT_GE(got.x, monitor.x) << where;
        EXPECT_LE(got.y + got.height, monitor.y + monitor.height) << where;
        EXPECT_GE(got.width, monitor.width / 4) << where;
        EXPECT_GE(got.height, monitor.height / 4) << where;
    }
}

TEST(ViewPlacement, ASecondMonitorGetsItLargeInTheMiddle) {
    const ScreenRect got = viewPlacement({{0, 0, 1280, 720}, {1280, 0, 1920, 1080}});
    EXPECT_EQ(got.x, 1280 + 320);
    EXPECT_EQ(got.y, 180);
    EXPECT_EQ(got.width, 1280);
    EXPECT_EQ(got.height, 720);
}

} // namespace
