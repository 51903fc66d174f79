#pragma once
// How one render is made, chosen by its caller and handed down to the stages it reaches. A value
// rather than a switch of the process, so that renders on other threads may choose otherwise;
// later choices of a render join it here.

namespace gw {

struct RenderOptions {
    // Every optimised stage (text, surface, bevel, shadow, warp, frame, filter) takes its plain
    // twin: the stage's rule written out pixel by pixel, with no tables, spans or bands. Slow,
    // never the program's way; it holds the fast paths to their bytes.
    bool plainStages = false;

    // The picture is drawn without its background, with each pixel's opacity carried beside its
    // colour through every blend (the transparent export). The shadow then keeps its own colour
    // out to its soft edge and fades in opacity alone: the opaque picture fades its colour towards
    // white as well, which is right on a white page and shows as a pale rim on any darker one.
    bool coverage = false;

    // The picture is drawn as it would be with no letters: background, frame and shadow, the
    // shadow whole where the letters would hide it. The vector pictures lay this below letters
    // of their own, whose edges no longer follow the raster's. RenderPrint alone draws it.
    bool withoutLetters = false;
};

}  // namespace gw
