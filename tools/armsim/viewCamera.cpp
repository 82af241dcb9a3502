#include "viewCamera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float radiansPerDegree = 3.14159265358979f / 180.0f;
constexpr float resetYaw = -60.0f;
constexpr float resetPitch = 20.0f;
constexpr float perspectiveDistance = 5.5f * segmentLength;
// The free view looks a little above the shoulder, at the middle of the
// arm's reach.
constexpr float orbitLift = 0.5f * segmentLength;
constexpr float perspectiveFovy = 45.0f;
constexpr float lowestPitch = -10.0f;
constexpr float highestPitch = 89.0f;
constexpr float zoomPerStep = 1.1f;

// The camera's offset from its target at this yaw and pitch, as a unit
// vector: yaw 0 looks from +z, growing yaw goes round toward +x.
Point3 offset(float yawDegrees, float pitchDegrees) {
    const float y = yawDegrees * radiansPerDegree;
    const float p = pitchDegrees * radiansPerDegree;
    return {std::cos(p) * std::sin(y), std::sin(p), std::cos(p) * std::cos(y)};
}

Point3 at(const Point3& from, const Point3& direction, float length) {
    return {from.x + direction.x * length, from.y + direction.y * length,
            from.z + direction.z * length};
}

} // namespace

bool parseCameraPreset(const std::string& text, CameraPreset& preset) {
    if (text == "side") {
        preset = CameraPreset::side;
    } else if (text == "top") {
        preset = CameraPreset::top;
    } else if (text == "front") {
        preset = CameraPreset::front;
    } else {
        return false;
    }
    return true;
}

ViewCamera::ViewCamera(CameraPreset first) {
    choose(first);
}

void ViewCamera::choose(CameraPreset preset) {
    current = preset;
    free = false;
    scale = 1;
    yaw = resetYaw;
    pitch = resetPitch;
}

void ViewCamera::orbit(float yawDegrees, float pitchDegrees, float base) {
    if (!free) {
        // Start from where the preset stands, so the view does not jump.
        const CameraPlacement from = placement(base);
        const Point3 d{from.position.x - from.target.x, from.position.y - from.target.y,
                       from.position.z - from.target.z};
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        yaw = std::atan2(d.x, d.z) / radiansPerDegree;
        pitch = std::asin(std::clamp(d.y / length, -1.0f, 1.0f)) / radiansPerDegree;
        free = true;
    }
    yaw += yawDegrees;
    pitch = std::clamp(pitch + pitchDegrees, lowestPitch, highestPitch);
}

void ViewCamera::zoom(float steps) {
    scale = std::clamp(scale * std::pow(zoomPerStep, -steps), 0.2f, 5.0f);
}

CameraPlacement ViewCamera::placement(float base) const {
    CameraPlacement placed;
    placed.target = {0, shoulderHeight, 0};
    placed.up = {0, 1, 0};
    if (free || current == CameraPreset::reset) {
        placed.target.y += orbitLift;
        placed.position = at(placed.target, offset(yaw, pitch), perspectiveDistance * scale);
        placed.fovy = perspectiveFovy;
        return placed;
    }
    placed.orthographic = true;
    placed.fovy = sideViewHeight * scale;
    switch (current) {
    case CameraPreset::side: {
        // Looking along the plane's normal, so the plane axis runs to the
        // right on screen as the panel's side view has it.
        const Point3 normal = armPlaneNormal(base);
        placed.position = at(placed.target, normal, -perspectiveDistance);
        break;
    }
    case CameraPreset::front:
        placed.position = at(placed.target, armPlaneAxis(base), perspectiveDistance);
        break;
    default:
        // From above, with the screen's up toward -z: the base panel's
        // picture, where the needle at 0 is vertical.
        placed.position = at(placed.target, {0, 1, 0}, perspectiveDistance);
        placed.up = {0, 0, -1};
        break;
    }
    return placed;
}
