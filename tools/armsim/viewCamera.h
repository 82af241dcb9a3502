#pragma once

#include "armGeometry.h"

#include <string>

// The first view and the views the keys choose. reset is the free
// three-quarter view the window opens with.
enum class CameraPreset { reset, front, side, top };

bool parseCameraPreset(const std::string& text, CameraPreset& preset);

// Where the camera stands, in world terms: the drawing hands this to raylib.
struct CameraPlacement {
    Point3 position;
    Point3 target;
    Point3 up;
    float fovy = 45.0f; // degrees when perspective, world units when not
    bool orthographic = false;
};

// The side view is an engineering view, square to the arm's plane and
// without perspective, so that it shows the arm exactly as the panel's side
// view does: the shoulder pivot in the middle of the window and this much of
// the world from the window's top to its bottom.
constexpr float sideViewHeight = 4.6f * segmentLength;

// The camera as the user leaves it: a preset, or a free orbit around the
// shoulder after a drag. Front and side follow the base, so they stay square
// to the arm's plane while it turns; top keeps the base panel's orientation.
class ViewCamera {
  public:
    explicit ViewCamera(CameraPreset first = CameraPreset::reset);
    void choose(CameraPreset preset);
    // A drag by this many degrees: the camera leaves its preset and orbits.
    void orbit(float yawDegrees, float pitchDegrees, float base);
    // Wheel steps: positive comes closer.
    void zoom(float steps);
    CameraPreset preset() const { return current; }
    bool orbiting() const { return free; }
    CameraPlacement placement(float base) const;

  private:
    CameraPreset current;
    bool free = false;
    float yaw = 0;   // degrees, around the vertical
    float pitch = 0; // degrees above the horizon
    float scale = 1; // the zoom: 1 as the preset has it
};
