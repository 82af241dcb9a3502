// The 3D arm against the panel's own pictures: the panels are drawn through
// the recording fake and the view's points are looked at through the view's
// own cameras, so the rules are those the panel code follows.
#include "armGeometry.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"
#include "motion.h"
#include "panels/basePanel.h"
#include "panels/gripperPanel.h"
#include "panels/shoulderElbowPanel.h"
#include "viewCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr Vector2 onShoulder{976.2145f, 406.687f};
constexpr Vector2 onElbow{976.2145f, 346.684f};
constexpr Vector2 onBase{949.5f, 490};
constexpr Vector2 onGripper{976.2145f, 273.347f};

struct Flat {
    double x;
    double y; // screen y, growing downward
};

struct Line2 {
    Flat start;
    Flat end;
};

Point3 minus(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double dot(const Point3& a, const Point3& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point3 unit(const Point3& a) {
    const float length = static_cast<float>(std::sqrt(dot(a, a)));
    return {a.x / length, a.y / length, a.z / length};
}

// What a camera shows of a point: its offset from the camera's target along
// the screen's right and down, in world units.
Flat seen(const CameraPlacement& camera, const Point3& point) {
    const Point3 forward = unit(minus(camera.target, camera.position));
    const Point3 right = unit(cross(forward, camera.up));
    const Point3 up = cross(right, forward);
    const Point3 offset = minus(point, camera.target);
    return {dot(offset, right), -dot(offset, up)};
}

Flat direction(const Flat& from, const Flat& to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length};
}

template <class Panel>
void typeInto(Panel& panel, Vector2 box, const std::string& digits, int backspaces = 0) {
    for (int i = 0; i < backspaces; ++i) {
        drawn::setFrame(box, true);
        panel.process(0);
    }
    for (char d : digits) {
        drawn::setFrame(box);
        panel.process(d);
    }
}

std::vector<Line2> drawnLines() {
    std::vector<Line2> lines;
    for (const fake::Call& call : drawn::callsNamed("DrawLineEx")) {
        lines.push_back({{call.numbers[0], call.numbers[1]}, {call.numbers[2], call.numbers[3]}});
    }
    return lines;
}

// The panel's upper arm and forearm for typed shoulder and elbow values.
std::vector<Line2> panelSideView(int shoulder, int elbow) {
    ShoulderElbowPanel panel;
    typeInto(panel, onShoulder, std::to_string(shoulder));
    typeInto(panel, onElbow, std::to_string(elbow));
    fake::clearCalls();
    panel.draw();
    return drawnLines();
}

// The first half of the panel's base needle.
Line2 panelNeedle(int base) {
    BasePanel panel;
    typeInto(panel, onBase, std::to_string(base));
    fake::clearCalls();
    panel.draw();
    return drawnLines().at(0);
}

std::vector<Line2> panelJaws(int gripper) {
    GripperPanel panel;
    typeInto(panel, onGripper, gripper < 0 ? "" : std::to_string(gripper), 3);
    fake::clearCalls();
    panel.draw();
    return drawnLines();
}

// The pose a frame orders, as the simulator decodes it.
Pose framePose(int base, int shoulder, int elbow, int gripper) {
    char frame[32];
    std::snprintf(frame, sizeof frame, "%03d%03d%03d%03d", base + 360, shoulder, elbow, gripper);
    const ArmPosition position = decodeFrame(frame);
    return {float(position.base), float(position.shoulder), float(position.elbow),
            float(position.gripper)};
}

class ArmViewGeometry : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test"); // the box widths need the font
    }
};

const std::vector<int> bases{0, 45, 90, 135, 180, 270, 405, 639, 640, 999};

TEST_F(ArmViewGeometry, SideCameraShowsThePanelsSideViewForEveryBase) {
    struct Posture {
        int shoulder;
        int elbow;
    };
    // The panel's own table of postures, and a few bends off it.
    const std::vector<Posture> postures{{97, 90}, {90, 90}, {90, 0},    {180, 90}, {0, 0},
                                        {0, 180}, {45, 30}, {135, 150}, {270, 45}, {999, 5}};
    for (const Posture& posture : postures) {
        const std::vector<Line2> panel = panelSideView(posture.shoulder, posture.elbow);
        ASSERT_EQ(panel.size(), 2u);
        const double panelLength =
            std::hypot(panel[0].end.x - panel[0].start.x, panel[0].end.y - panel[0].start.y);
        const double scale = panelLength / segmentLength;
        for (int base : bases) {
            const std::string where = "shoulder " + std::to_string(posture.shoulder) + " elbow " +
                                      std::to_string(posture.elbow) + " base " +
                                      std::to_string(base);
            const Pose pose = framePose(base, posture.shoulder, posture.elbow, 160);
            const ArmPoints points = armPoints(pose);
            const CameraPlacement side = ViewCamera(CameraPreset::side).placement(pose.base);
            EXPECT_TRUE(side.orthographic) << where;
            // Laid over the panel's pivot at the panel's scale, the view's
            // elbow and wrist fall on the panel's line ends.
            const Flat pivot = seen(side, points.shoulder);
            auto onPanel = [&](const Point3& p) {
                const Flat s = seen(side, p);
                return Flat{panel[0].start.x + (s.x - pivot.x) * scale,
                            panel[0].start.y + (s.y - pivot.y) * scale};
            };
            const Flat elbow = onPanel(points.elbow);
            const Flat wrist = onPanel(points.wrist);
            EXPECT_NEAR(elbow.x, panel[0].end.x, 1e-2) << where;
            EXPECT_NEAR(elbow.y, panel[0].end.y, 1e-2) << where;
            EXPECT_NEAR(wrist.x, panel[1].end.x, 1e-2) << where;
            EXPECT_NEAR(wrist.y, panel[1].end.y, 1e-2) << where;
            // And the arm stays in its plane: nothing is seen off it.
            const Point3 normal = armPlaneNormal(pose.base);
            EXPECT_NEAR(dot(minus(points.wrist, points.shoulder), normal), 0, 1e-5) << where;
        }
    }
}

TEST_F(ArmViewGeometry, TopCameraShowsTheArmAlongTheBaseNeedle) {
    // Postures that reach out sideways, so the arm has a line seen from above.
    const std::vector<std::pair<int, int>> postures{{0, 0}, {45, 30}, {97, 90}, {150, 100}};
    for (int base : bases) {
        const Line2 needle = panelNeedle(base);
        const Flat along = direction(needle.start, needle.end);
        for (const auto& [shoulder, elbow] : postures) {
            const std::string where = "base " + std::to_string(base) + " shoulder " +
                                      std::to_string(shoulder) + " elbow " + std::to_string(elbow);
            const Pose pose = framePose(base, shoulder, elbow, 160);
            const ArmPoints points = armPoints(pose);
            const CameraPlacement top = ViewCamera(CameraPreset::top).placement(pose.base);
            const Flat pivot = seen(top, points.shoulder);
            for (const Point3& p : {points.elbow, points.wrist}) {
                const Flat s = seen(top, p);
                const double dx = s.x - pivot.x;
                const double dy = s.y - pivot.y;
                // On the needle's line: no offset across it.
                EXPECT_NEAR(dx * along.y - dy * along.x, 0, 1e-4) << where;
            }
        }
    }
}

TEST_F(ArmViewGeometry, JawsOpenAsTheGripperPreviewShowsThem) {
    // -1: the box emptied. Below 90 the preview shows 90.
    const std::vector<int> grippers{160, 180, 90, 45, -1, 200, 120, 100};
    for (int gripper : grippers) {
        const std::vector<Line2> jaws = panelJaws(gripper);
        ASSERT_EQ(jaws.size(), 2u);
        // The preview's jaws in (across, along the opening), sorted across.
        std::vector<Flat> expected;
        for (const Line2& jaw : jaws) {
            const Flat d = direction(jaw.start, jaw.end);
            expected.push_back({d.x, -d.y});
        }
        for (const auto& [shoulder, elbow] :
             std::vector<std::pair<int, int>>{{97, 90}, {30, 150}}) {
            for (int base : {0, 120}) {
                const std::string where = "gripper " + std::to_string(gripper) + " base " +
                                          std::to_string(base) + " shoulder " +
                                          std::to_string(shoulder);
                const Pose pose = framePose(base, shoulder, elbow, std::max(gripper, 0));
                const ArmPoints points = armPoints(pose);
                const Point3 forearm = unit(minus(points.wrist, points.elbow));
                const Point3 across = armPlaneNormal(pose.base);
                std::vector<Flat> actual;
                for (const Point3& tip : points.jawTips) {
                    const Point3 d = unit(minus(tip, points.wrist));
                    actual.push_back({dot(d, across), dot(d, forearm)});
                }
                // Mirror images: which jaw is which, and which side is
                // which, is not part of the picture.
                auto byAcross = [](const Flat& a, const Flat& b) { return a.x < b.x; };
                std::sort(expected.begin(), expected.end(), byAcross);
                std::sort(actual.begin(), actual.end(), byAcross);
                for (int i = 0; i < 2; ++i) {
                    EXPECT_NEAR(actual[i].x, expected[i].x, 1e-4) << where << " jaw " << i;
                    EXPECT_NEAR(actual[i].y, expected[i].y, 1e-4) << where << " jaw " << i;
                }
                EXPECT_NEAR(std::sqrt(dot(minus(points.jawTips[0], points.wrist),
                                          minus(points.jawTips[0], points.wrist))),
                            jawLength, 1e-5)
                    << where;
            }
        }
    }
}

} // namespace
