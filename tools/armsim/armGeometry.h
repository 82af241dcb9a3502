#pragma once

// Where the parts of the simulated arm stand in the view's world, from the
// joint angles. Plain math: the drawing turns these points into shapes.
//
// The world is y-up. The shoulder pivot stands above the turntable's centre.
// The arm moves in a vertical plane through the base axis; its horizontal
// direction in that plane is armPlaneAxis(base). Within the plane, angles
// follow the panel's side view: a segment at line angle a points along
// (-sin a, -cos a) in (plane axis, up), so 0 is straight down and growing
// values turn clockwise as seen from the side camera.

struct Point3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

// Joint angles in degrees as the operator types them; fractional while the
// arm moves.
struct Pose {
    float base = 0;
    float shoulder = 0;
    float elbow = 0;
    float gripper = 0;
};

struct ArmPoints {
    Point3 shoulder; // the pivot on top of the turntable
    Point3 elbow;
    Point3 wrist; // the forearm's free end and the jaws' pivot
    Point3 jawTips[2];
};

// Lengths in world units: the two segments are equally long, as on the
// panel, and the jaws keep the panel's jaw-to-segment ratio (75 to 167.5).
constexpr float segmentLength = 1.0f;
constexpr float jawLength = segmentLength * 75.0f / 167.5f;
constexpr float shoulderHeight = 0.45f;

// The panel never draws jaws closer to level than this.
constexpr float lowestGripperShown = 90.0f;

// Unit vector along the arm's plane. Seen from the top camera (x to the
// right, z down the screen) it is the panel's base needle drawn at line
// angle base.
Point3 armPlaneAxis(float base);

// The horizontal unit vector square to the arm's plane.
Point3 armPlaneNormal(float base);

// The line angles of the upper arm and the forearm.
float upperArmAngle(float shoulder);
float forearmAngle(float shoulder, float elbow);

ArmPoints armPoints(const Pose& pose);
