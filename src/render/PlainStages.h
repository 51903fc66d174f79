#pragma once
// Every optimised stage of the render (text, surface, bevel, shadow, warp, filter) keeps a plain
// twin beside it: the stage's rule written out the way it reads, pixel by pixel, with no tables,
// spans or bands. The twins are slow and never shipped as the program's way; they exist so that
// a fast path can be held to them byte for byte, and they are switched on for the whole render
// at once.

namespace gw {

// Whether the stages take their plain twins. Off unless a test turns it on.
bool PlainStagesOn();

// Turns the plain twins on for as long as it lives; not meant for renders running meanwhile on
// other threads.
class PlainStagesScope {
  public:
    PlainStagesScope();
    ~PlainStagesScope();
    PlainStagesScope(const PlainStagesScope&) = delete;
    PlainStagesScope& operator=(const PlainStagesScope&) = delete;

  private:
    bool before_;
};

}  // namespace gw
