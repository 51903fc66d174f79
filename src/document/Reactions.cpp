#include "document/Reactions.h"

namespace gw {

namespace {

Reaction If(bool condition, Reaction reaction) {
    return condition ? reaction : Reaction::Nothing;
}

}  // namespace

Reaction ReactionTo(Change change, const LetteringSettings& s, const ChangeContext& context) {
    switch (change) {
        case Change::FontList:
            return If(context.eventCondition, Reaction::Render);
        case Change::FontStyle:
            return Reaction::Render;
        case Change::AusrichtBox:
            return Reaction::Render;
        case Change::Memo1:
            return If(context.firstRenderDone, Reaction::Defer);
        case Change::DeformMode:
            return Reaction::Render;
        case Change::DeformValue:
            return If(s.deform != DeformMode::NoDeform, Reaction::Defer);
        case Change::KanteCheck:
            return Reaction::Render;
        case Change::EdgeValue:
            return If(s.KanteCheck, Reaction::Defer);
        case Change::EdgeOption:
            return If(s.KanteCheck, Reaction::Render);
        case Change::SchattenCheck:
            return Reaction::Render;
        case Change::ShadowValue:
            return If(s.SchattenCheck, Reaction::Defer);
        case Change::ShadowColour:
            return If(s.SchattenCheck, Reaction::Render);
        case Change::RTextcheck:
            return If(s.FrameStyle != 0, Reaction::Render);
        case Change::RBreitEd:
            return If(s.FrameStyle != 0, Reaction::Defer);
        case Change::RHochEd:
            return If(s.FrameStyle == 4, Reaction::Defer);
        case Change::FrameColour:
            return If(s.FrameStyle != 0, Reaction::Render);
        case Change::SurfaceKind:
            return If(context.eventCondition, Reaction::Render);
        case Change::SurfaceContent:
            return Reaction::Render;
        case Change::Preset:
            return Reaction::Render;
        case Change::EnvelopePreset:
            return Reaction::Render;
        case Change::LinesEdited:
            return context.eventCondition ? Reaction::Render : Reaction::Defer;
        case Change::EditMode:
            return Reaction::Repaint;
        case Change::EffectTab:
            return If(context.eventCondition, Reaction::Repaint);
        case Change::SpiralEd:
            return Reaction::Nothing;
        case Change::PictureOrDocument:
            return Reaction::Render;
    }
    return Reaction::Nothing;
}

}  // namespace gw
