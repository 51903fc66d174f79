#pragma once
// What each change of the window does to the picture: render at once, restart the one-second
// countdown, repaint the editing view only, or nothing. The whole table lives here so that no
// handler decides on its own.

#include "document/LetteringSettings.h"

namespace gw {

enum class Change {
    FontList,          // FontList selection
    FontStyle,         // FettBtn, KursivBtn pressed
    AusrichtBox,       // alignment selection
    Memo1,             // text typed or set
    DeformMode,        // NoDeform, SinDeform, RandDeform
    DeformValue,       // StarkEd, AnzahlEd
    KanteCheck,        // edge switched
    EdgeValue,         // KWinkEd, KBreiteEd, KLichtEd
    EdgeOption,        // Profil1Box, Profil2Box, BkGnd1, BkGnd2, Invers1Check, KFixedWCheck,
                       // KQualCheck
    SchattenCheck,     // shadow switched
    ShadowValue,       // SDeckEd, SWeichEd, SRightEd, SBottomEd, SRichtBox
    ShadowColour,      // SColorBtn, dialog confirmed
    RTextcheck,        // frame over the text
    RBreitEd,          // frame width
    RHochEd,           // frame height
    FrameColour,       // RColorBtn, dialog confirmed
    SurfaceKind,       // a surface picker's radio buttons
    SurfaceContent,    // surface colour confirmed, built-in texture picked, texture file loaded
    Preset,            // frame, edge or shadow preset picked
    EnvelopePreset,    // envelope shape picked
    LinesEdited,       // boundary lines edited: the mouse's release, or an arrow key
    EditMode,          // MoveCheck, EdPointsCheck, DrawFace
    EffectTab,         // PageControl1 changed its page
    SpiralEd,          // spiral turns
    PictureOrDocument  // picture size changed, "Neu", document opened
};

enum class Reaction { Nothing, Render, Defer, Repaint };

struct ChangeContext {
    bool firstRenderDone = false;
    // The condition that belongs to the event itself: for FontList that an entry is selected
    // in a list that is not empty; for SurfaceKind that the kind moved between colour and
    // texture; for EffectTab that "Verformen" became or stopped being the active tab; for
    // LinesEdited that the edit is whole (a release), not a key's step that waits for the
    // countdown. Ignored for the other changes.
    bool eventCondition = true;
};

Reaction ReactionTo(Change change, const LetteringSettings& settings, const ChangeContext& context);

}  // namespace gw
