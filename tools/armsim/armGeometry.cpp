#include "armGeometry.h"

#include <cmath>

namespace {

constexpr float radiansPerDegree = 3.14159265358979f / 180.0f;

Point3 along(const Point3& from, const Point3& direction, float length) {
    return {from.x + direction.x * length, from.y + direction.y * length,
            from.z + direction.z * length};
}

// A line angle in the arm's plane as a world direction.
Point3 inPlane(float base, float lineAngle) {
    const Point3 axis = armPlaneAxis(base);
    const float r = lineAngle * radiansPerDegree;
    const float across = -std::sin(r);
    return {axis.x * across, -std::cos(r), axis.z * across};
}

} // namespace

Point3 armPlaneAxis(float base) {
    const float r = base * radiansPerDegree;
    return {-std::sin(r), 0, std::cos(r)};
}

Point3 armPlaneNormal(float base) {
    const float r = base * radiansPerDegree;
    return {std::cos(r), 0, std::sin(r)};
}

float upperArmAngle(float shoulder) {
    return shoulder + 90.0f;
}

float forearmAngle(float shoulder, float elbow) {
    return shoulder - elbow - 180.0f;
}

ArmPoints armPoints(const Pose& pose) {
    ArmPoints points;
    points.shoulder = {0, shoulderHeight, 0};
    points.elbow =
        along(points.shoulder, inPlane(pose.base, upperArmAngle(pose.shoulder)), segmentLength);
    const Point3 forearm = inPlane(pose.base, forearmAngle(pose.shoulder, pose.elbow));
    points.wrist = along(points.elbow, forearm, segmentLength);

    // The gripper preview's jaws open upward from their pivot; here "up" is
    // along the forearm, and they open across the arm's plane.
    const float g =
        (pose.gripper < lowestGripperShown ? lowestGripperShown : pose.gripper) * radiansPerDegree;
    const Point3 across = armPlaneNormal(pose.base);
    for (int side = 0; side < 2; ++side) {
        const float sign = side == 0 ? 1.0f : -1.0f;
        const float a = -std::sin(g) * sign;
        const float b = -std::cos(g);
        const Point3 direction{across.x * a + forearm.x * b, across.y * a + forearm.y * b,
                               across.z * a + forearm.z * b};
        points.jawTips[side] = along(points.wrist, direction, jawLength);
    }
    return points;
}
