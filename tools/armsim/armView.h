#pragma once

#include "armState.h"
#include "options.h"
#include "stayOnTop.h"
#include "viewCamera.h"

#include "raylib.h"

#include <atomic>

// The window "Tallomir arm": the simulated arm in 3D, drawn from the arm
// state at the time of each frame, with a text overlay. Runs on the main
// thread; the controller runs on its own and never waits for it.
class ArmView {
  public:
    ArmView(const SimOptions& options, const ArmState& arm);
    ArmView(const ArmView&) = delete;
    ArmView& operator=(const ArmView&) = delete;
    ~ArmView();

    // False when there is no display to open it on.
    bool open();
    // Until the window is closed or finished is set.
    void run(const std::atomic<bool>& finished);

  private:
    void update(float base);
    void draw(const ArmSnapshot& shot) const;
    void drawArm(const ArmSnapshot& shot) const;
    void drawOverlay(const ArmSnapshot& shot) const;
    void drawCylinder(const Point3& from, const Point3& to, float radius, Color color) const;
    void drawSphere(const Point3& centre, float radius, Color color) const;

    const ArmState& arm;
    ViewCamera camera;
    StayOnTop stayOnTop;
    bool opened = false;
    Shader lit{};
    Material material{};
    Mesh cylinder{};
    Mesh sphere{};
};
