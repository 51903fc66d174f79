#include "editing/EditingSession.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

namespace gw {
namespace {

Command Set(const char* name, double value) {
    return SettingCommand(*FindSetting(name), value);
}

// Records every notice the session gives.
struct Listener {
    std::vector<SessionNotice> notices;
    explicit Listener(EditingSession& session) {
        session.Observe([this](const SessionNotice& n) { notices.push_back(n); });
    }
    unsigned All() const {
        unsigned what = 0;
        for (const SessionNotice& n : notices)
            what |= n.what;
        return what;
    }
};

TEST(EditingSession, StepsGoBackAndComeAgainWithTheirNames) {
    struct Case {
        Command command;
        const char* step;
    };
    const Case cases[] = {
        {Set("KanteCheck", 1), "3D-Kante"},
        {Set("KWinkEd", 30), "Lichtwinkel"},
        {Set("SchattenCheck", 1), "Schatten"},
        {{"Text", Change::Memo1,
          [](Lettering& l) {
              l.settings.Memo1 = {"Hallo"};
              return true;
          },
          true},
         "Text"},
    };
    for (const Case& c : cases) {
        EditingSession session;
        const LetteringSettings before = session.lettering().settings;
        session.Run(c.command);
        const LetteringSettings after = session.lettering().settings;
        EXPECT_FALSE(after == before) << c.step;
        EXPECT_EQ(session.UndoName(), c.step);
        ASSERT_TRUE(session.Undo()) << c.step;
        EXPECT_TRUE(session.lettering().settings == before) << c.step;
        EXPECT_EQ(session.RedoName(), c.step);
        EXPECT_FALSE(session.Modified()) << c.step;
        ASSERT_TRUE(session.Redo()) << c.step;
        EXPECT_TRUE(session.lettering().settings == after) << c.step;
        EXPECT_TRUE(session.Modified()) << c.step;
        EXPECT_FALSE(session.CanRedo()) << c.step;
    }
}

TEST(EditingSession, TypingIsOneStepUntilThePause) {
    EditingSession session;
    for (double angle : {3.0, 30.0})
        session.Run(Set("KWinkEd", angle));
    session.FinishOpenStep();
    session.Run(Set("KWinkEd", 40));
    session.Run(Set("KBreiteEd", 50));  // another field ends the open step
    session.Undo();
    EXPECT_EQ(session.lettering().settings.KWinkEd, 40);
    session.Undo();
    EXPECT_EQ(session.lettering().settings.KWinkEd, 30);
    session.Undo();
    EXPECT_EQ(session.lettering().settings.KWinkEd, -45);
    EXPECT_FALSE(session.CanUndo());
}

TEST(EditingSession, ModifiedIsThePositionAgainstTheSavedOne) {
    EditingSession session;
    Listener listener(session);
    EXPECT_FALSE(session.Modified());
    session.Run(Set("KanteCheck", 1));
    EXPECT_TRUE(session.Modified());
    EXPECT_TRUE(listener.All() & kModifiedChanged);
    session.Saved("/tmp/a.zgw");
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(session.fileName(), "/tmp/a.zgw");
    session.Undo();
    EXPECT_TRUE(session.Modified());
    session.Redo();
    EXPECT_FALSE(session.Modified());
    // Setting a value back by hand is a step of its own, not the saved state.
    session.Run(Set("KanteCheck", 0));
    session.Run(Set("KanteCheck", 1));
    EXPECT_TRUE(session.Modified());
}

TEST(EditingSession, ASavedStateTheBudgetDroppedStaysModifiedUntilSaved) {
    EditingSession session(1);  // room for the newest step only
    session.Run(Set("KanteCheck", 1));
    session.Run(Set("SchattenCheck", 1));
    session.Undo();
    session.Undo();  // the first step is gone: nothing more to undo
    EXPECT_TRUE(session.lettering().settings.KanteCheck);
    EXPECT_TRUE(session.Modified());
    session.Saved("b.zgw");
    EXPECT_FALSE(session.Modified());
}

TEST(EditingSession, TheReactionFollowsTheTable) {
    struct Case {
        Command command;
        bool firstRender;
        Reaction reaction;
    };
    Command offTab{"", Change::EffectTab, nullptr};
    offTab.eventCondition = false;
    const Case cases[] = {
        {Set("KanteCheck", 1), true, Reaction::Render},
        {Set("KWinkEd", 10), true, Reaction::Nothing},  // the edge is off
        {Set("SDeckEd", 10), true, Reaction::Nothing},
        {Set("MoveCheck", 1), true, Reaction::Repaint},
        {{"Text", Change::Memo1, nullptr, true}, false, Reaction::Nothing},
        {{"Text", Change::Memo1, nullptr, true}, true, Reaction::Defer},
        {{"", Change::EffectTab, nullptr}, true, Reaction::Repaint},
        {offTab, true, Reaction::Nothing},
    };
    for (const Case& c : cases) {
        EditingSession session;
        if (c.firstRender) session.PictureRendered(session.Generation());
        Listener listener(session);
        EXPECT_EQ(session.Run(c.command).reaction, c.reaction) << c.command.name;
        ASSERT_FALSE(listener.notices.empty());
        EXPECT_EQ(listener.notices.back().reaction, c.reaction);
    }
    EditingSession session;
    session.Run(Set("KanteCheck", 1));
    EXPECT_EQ(session.Run(Set("KWinkEd", 10)).reaction, Reaction::Defer);
}

TEST(EditingSession, AModeChangeIsNoModificationAndOutlivesUndo) {
    EditingSession session;
    Listener listener(session);
    session.Run(Set("KanteCheck", 1));
    session.Run(Set("EdPointsCheck", 1));
    EXPECT_EQ(session.UndoName(), "3D-Kante");
    session.Undo();
    EXPECT_FALSE(session.Modified());
    EXPECT_FALSE(session.CanUndo());
    EXPECT_EQ(session.lettering().settings.editMode, EditMode::EdPointsCheck);
}

TEST(EditingSession, UndoOfNewBringsBackTheNameAndTheSavedPosition) {
    EditingSession session;
    session.Run(Set("KanteCheck", 1));
    session.Saved("brief.zgw");
    session.New();
    EXPECT_EQ(session.fileName(), "");
    EXPECT_FALSE(session.Modified());
    EXPECT_FALSE(session.lettering().settings.KanteCheck);
    EXPECT_EQ(session.UndoName(), "Neu");
    session.Undo();
    EXPECT_EQ(session.fileName(), "brief.zgw");
    EXPECT_FALSE(session.Modified());
    EXPECT_TRUE(session.lettering().settings.KanteCheck);
    session.Redo();
    EXPECT_EQ(session.fileName(), "");
    EXPECT_FALSE(session.Modified());
}

TEST(EditingSession, UndoOfASizeChangeMovesPivotAndHandleBack) {
    for (bool scaleLines : {false, true}) {
        EditingSession session;
        TEnvelopeEditor& editor = session.editor();
        const TPoint pivot = editor.Pivot;
        const TPoint handle = editor.RotationHandle;
        session.Resize(900, 400, scaleLines, {});
        const TPoint widePivot = editor.Pivot;
        const TPoint wideHandle = editor.RotationHandle;
        session.Resize(450, 200, scaleLines, {});
        session.Undo();
        EXPECT_EQ(editor.Pivot, widePivot) << scaleLines;
        EXPECT_EQ(editor.RotationHandle, wideHandle) << scaleLines;
        session.Undo();
        EXPECT_EQ(session.lettering().width, 450);
        EXPECT_EQ(editor.Pivot, pivot) << scaleLines;
        EXPECT_EQ(editor.RotationHandle, handle) << scaleLines;
        // A step that keeps the size leaves a pivot the user moved where it is.
        session.Run(Set("KanteCheck", 1));
        editor.Pivot = {5, 6};
        session.Undo();
        EXPECT_EQ(editor.Pivot, (TPoint{5, 6}));
    }
}

TEST(EditingSession, AFailedSizeChangeOrOpeningIsTakenBackWhole) {
    EditingSession session;
    session.Run(Set("KanteCheck", 1));
    const std::vector<TPoint> upper = session.lettering().EnvelopeLines[0].Points();
    const TPoint pivot = session.editor().Pivot;
    const std::vector<ScaledMeasure> scaled{{FindSetting("KBreiteEd"), 7, false}};
    session.Resize(2000, 1000, true, scaled);
    EXPECT_EQ(session.lettering().settings.KBreiteEd, 7);
    session.TakeBack();
    EXPECT_EQ(session.lettering().width, 450);
    EXPECT_EQ(session.lettering().settings.KBreiteEd, 100);
    EXPECT_EQ(session.lettering().EnvelopeLines[0].Points(), upper);
    EXPECT_EQ(session.editor().Pivot, pivot);
    EXPECT_EQ(session.UndoName(), "3D-Kante");
    EXPECT_FALSE(session.CanRedo());

    session.Saved("alt.zgw");
    Lettering opened;
    InitStartState(opened);
    opened.width = 3000;
    session.Open(std::move(opened), "neu.zgw");
    EXPECT_EQ(session.fileName(), "neu.zgw");
    EXPECT_FALSE(session.CanUndo());
    session.TakeBack();
    EXPECT_EQ(session.fileName(), "alt.zgw");
    EXPECT_EQ(session.lettering().width, 450);
    EXPECT_TRUE(session.lettering().settings.KanteCheck);
    EXPECT_EQ(session.UndoName(), "3D-Kante");
    EXPECT_FALSE(session.Modified());
    // A settled change stays.
    session.Resize(600, 300, false, {});
    session.Settle();
    session.TakeBack();
    EXPECT_EQ(session.lettering().width, 600);
}

TEST(EditingSession, APictureCancelledIsStaleUntilDrawnAgain) {
    EditingSession session;
    Listener listener(session);
    session.PictureRendered(session.Generation());
    EXPECT_TRUE(session.PictureCurrent());
    session.Run({"Text", Change::Memo1,
                 [](Lettering& l) {
                     l.settings.Memo1 = {"XYZ!"};
                     return true;
                 },
                 true});
    EXPECT_FALSE(session.PictureCurrent());
    const std::uint64_t drawn = session.Generation();
    session.RenderStarted();
    session.RenderStopped();  // Esc
    EXPECT_FALSE(session.PictureCurrent());
    EXPECT_FALSE(session.RenderBusy());
    // A render that started before a change shows the state before it.
    session.Run(Set("KanteCheck", 1));
    session.PictureRendered(drawn);
    EXPECT_FALSE(session.PictureCurrent());
    session.PictureRendered(session.Generation());
    EXPECT_TRUE(session.PictureCurrent());
    EXPECT_TRUE(listener.All() & kPictureStaleChanged);
}

TEST(EditingSession, UndoDuringARenderCancelsItAndUndoes) {
    EditingSession session;
    session.Run(Set("KanteCheck", 1));
    session.RenderStarted();
    Listener listener(session);
    EXPECT_TRUE(session.Undo());
    ASSERT_FALSE(listener.notices.empty());
    EXPECT_EQ(listener.notices.front().what, kCancelRender);
    EXPECT_EQ(listener.notices.back().reaction, Reaction::Render);
    EXPECT_FALSE(session.lettering().settings.KanteCheck);
    EXPECT_FALSE(session.RenderBusy());
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

// The keys of "Punkte bearbeiten": T and B are Tab and Shift+Tab, E picks the last point, l r u d
// move by one pixel and L R U D by ten, | is the pause that closes the open step.
TEST(EditingSession, KeysPickAndMoveBoundaryPointsOneStepABurst) {
    struct Case {
        const char* keys;
        bool pointMode;
        bool pointOnTheBorder;  // the picked point starts at x 0
        std::int32_t picked;    // -1: the last
        TPoint moved;
        int steps;
    };
    const Case cases[] = {
        {"r", true, false, 0, {1, 0}, 1},     {"TTd", true, false, 2, {0, 1}, 1},
        {"RRu", true, false, 0, {20, -1}, 1}, {"r|r", true, false, 0, {2, 0}, 2},
        {"BrTl", true, false, 1, {-1, 0}, 1},  // Shift+Tab at the first point keeps it
        {"ETd", true, false, -1, {0, 1}, 1},   // Tab past the last point keeps it
        {"lL", true, true, 0, {0, 0}, 0},      // the border holds the point
        {"Rl", true, true, 0, {9, 0}, 1},     {"r", false, false, 0, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        EditingSession session;
        session.editor().TabActive = true;
        if (c.pointMode) session.Run(Set("EdPointsCheck", 1));
        if (c.pointOnTheBorder) {
            session.Run({"Hülle bearbeiten", Change::LinesEdited, [](Lettering& l) {
                             const TPoint p = l.EnvelopeLines[0].GetPoint(0);
                             l.EnvelopeLines[0].SetPoint(0, 0, p.y);
                             return true;
                         }});
        }
        const std::array<TLine, 2> start = session.lettering().EnvelopeLines;
        Listener listener(session);
        TEnvelopeEditor& editor = session.editor();
        for (const char* k = c.keys; *k; ++k) {
            const std::string_view moves = "lrudLRUD";
            if (const std::size_t m = moves.find(*k); m != std::string_view::npos) {
                const std::int32_t step = m < 4 ? 1 : 10;
                const std::int32_t dx[] = {-1, 1, 0, 0};
                const std::int32_t dy[] = {0, 0, -1, 1};
                session.MovePickedPoint(dx[m % 4] * step, dy[m % 4] * step);
            } else if (*k == 'T' || *k == 'B') {
                editor.PickNext(*k == 'B');
            } else if (*k == 'E') {
                editor.PickIndex(editor.KeyPointCount() - 1);
            } else {
                session.FinishOpenStep();
            }
        }
        const std::int32_t count = editor.KeyPointCount();
        const std::int32_t picked = c.picked < 0 ? count - 1 : c.picked;
        EXPECT_EQ(editor.PickedIndex(), picked) << c.keys;
        const std::int32_t upper = start[0].PointCount();
        const std::size_t line = picked < upper ? 0 : 1;
        const std::int32_t point = picked < upper ? picked : picked - upper;
        const TPoint from = start[line].GetPoint(point);
        const TPoint to = session.lettering().EnvelopeLines[line].GetPoint(point);
        EXPECT_EQ(to, (TPoint{from.x + c.moved.x, from.y + c.moved.y})) << c.keys;
        EXPECT_EQ(editor.PickedPointText(), "Punkt " + std::to_string(picked + 1) + " von " +
                                                std::to_string(count) +
                                                (line == 0 ? ", oben" : ", unten"))
            << c.keys;
        // A key's step waits for the countdown rather than rendering at once.
        if (c.steps > 0) {
            EXPECT_EQ(listener.notices.back().reaction, Reaction::Defer) << c.keys;
        }
        int steps = 0;
        while (session.lettering().EnvelopeLines != start && session.Undo())
            ++steps;
        EXPECT_EQ(steps, c.steps) << c.keys;
        EXPECT_TRUE(session.lettering().EnvelopeLines == start) << c.keys;
    }
}

}  // namespace
}  // namespace gw
