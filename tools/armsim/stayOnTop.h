#pragma once

// Keeps the view above windows mapped after it where no window manager
// does: a bare X server stacks windows in the order they appear, so the
// panel, started after the simulator and going full screen, would bury the
// view. Where a window manager runs, the window's always-on-top flag is
// its business and this does nothing. Raising never moves the keyboard
// focus.
class StayOnTop {
  public:
    StayOnTop() = default;
    StayOnTop(const StayOnTop&) = delete;
    StayOnTop& operator=(const StayOnTop&) = delete;
    ~StayOnTop();

    // For the window whose context is current on this thread.
    void start();
    // Raises the view if another window appeared or moved above it.
    void poll();

  private:
    void* display = nullptr; // our own connection, apart from the toolkit's
    unsigned long view = 0;
};
