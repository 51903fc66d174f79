#pragma once
// How one render is made, chosen by its caller and handed down to the stages it reaches. A value
// rather than a switch of the process, so that renders on other threads may choose otherwise;
// later choices of a render (such as a transparent one) join it here.

namespace gw {

struct RenderOptions {
    // Every optimised stage (text, surface, bevel, shadow, warp, filter) takes its plain twin: the
    // stage's rule written out pixel by pixel, with no tables, spans or bands. Slow, never the
    // program's way; it holds the fast paths to their bytes.
    bool plainStages = false;
};

}  // namespace gw
