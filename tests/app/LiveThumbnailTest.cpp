// The edge, shadow and frame galleries' live thumbnails: made after the render in the background,
// apart from the window's renders, each the lettering with its preset as a direct small render
// shows it; a newer set drops an older one, and switched off the drawn thumbnails stay.

#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "render/Presets.h"
#include "render/Thumbnail.h"
#include "ui/LiveThumbnails.h"
#include "ui/QtBridge.h"

using namespace gw;

namespace {

// The thumbnail of preset i as one render makes it, without the galleries.
Bitmap Direct(const Lettering& lettering, void (*apply)(LetteringSettings&, int), int i) {
    Lettering copy = RenderSnapshot(lettering);
    FitForThumbnail(copy, 64, 32);
    apply(copy.settings, i);
    return RenderThumbnail(copy, 64, 32, 0x808080);
}

bool SamePixels(const Bitmap& a, int ax, int ay, const Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (a.Pixel(ax + x, ay + y) != b.Pixel(x, y)) return false;
    return true;
}

// Brings the page holding the widget to the front, tab by tab.
void ShowPageOf(QWidget* widget) {
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (qobject_cast<QStackedWidget*>(w->parentWidget()))
            if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
                tabs->setCurrentWidget(w);
}

}  // namespace

class LiveThumbnailTest : public QObject {
    Q_OBJECT

  private slots:
    void galleriesShowTheLetteringWithEachPresetAfterTheRender();
    void aNewerSetDropsAnOlderOneAndOffKeepsTheDrawnThumbnails();
};

void LiveThumbnailTest::galleriesShowTheLetteringWithEachPresetAfterTheRender() {
    TMainForm form;
    form.show();
    Paint(form, "PaintBox1");
    auto* thumbnails = Find<TLiveThumbnails>(form, "LiveThumbnails");
    thumbnails->SetLowPriority(false);
    // Rendered while no gallery was in view: the set starts when one comes into view.
    thumbnails->WaitForDone();
    QVERIFY(thumbnails->Pictures(PresetGallery::Shadow).empty());
    auto* shadows = Find<TPaintBox>(form, "SchattenPaint");
    ShowPageOf(shadows);
    const int renders = form.renderCount();
    thumbnails->WaitForDone();
    QCOMPARE(form.renderCount(), renders);

    struct Case {
        PresetGallery gallery;
        void (*apply)(LetteringSettings&, int);
        int preset;
    };
    const Case cases[] = {{PresetGallery::Edge, ApplyEdgePreset, 3},
                          {PresetGallery::Shadow, ApplyShadowPreset, 5},
                          {PresetGallery::Frame, ApplyFramePreset, 2}};
    for (const Case& c : cases) {
        const std::vector<Bitmap>& pictures = thumbnails->Pictures(c.gallery);
        QVERIFY(pictures.size() > std::size_t(c.preset));
        QVERIFY(SamePixels(pictures[std::size_t(c.preset)], 0, 0,
                           Direct(form.lettering(), c.apply, c.preset)));
    }
    // The shadow gallery draws them in the drawn thumbnails' cells: preset 5 in column 2, row 1.
    Paint(form, "SchattenPaint");
    const Bitmap five = Direct(form.lettering(), ApplyShadowPreset, 5);
    QVERIFY(SamePixels(shadows->bitmap(), 130, 33, five));
    QVERIFY(!SamePixels(FromQImage(LayoutImage("gallery-shadow.png")), 5 * 64, 0, five));

    // The next render makes the next set, from the lettering as it is then.
    ChangeLettering(form, [](Lettering& l) { l.settings.Memo1 = {"Neu"}; });
    thumbnails->WaitForDone();
    QVERIFY(SamePixels(thumbnails->Pictures(PresetGallery::Shadow)[5], 0, 0,
                       Direct(form.lettering(), ApplyShadowPreset, 5)));
}

void LiveThumbnailTest::aNewerSetDropsAnOlderOneAndOffKeepsTheDrawnThumbnails() {
    TLiveThumbnails thumbnails(64, 32, nullptr);
    thumbnails.SetLowPriority(false);
    Lettering older;
    InitStartState(older);
    older.settings.Memo1 = {"Alt"};
    Lettering newer = RenderSnapshot(older);
    newer.settings.Memo1 = {"Wx"};
    QSignalSpy taken(&thumbnails, &TLiveThumbnails::ready);
    // The older set is finished, its pictures still on their way, when the newer one starts.
    thumbnails.Start(older);
    thumbnails.WaitForWorker();
    thumbnails.Start(newer);
    thumbnails.WaitForDone();
    QCOMPARE(taken.count(), 3);  // the newer set's three galleries, nothing of the older one
    const Bitmap wanted = Direct(newer, ApplyFramePreset, 1);
    QVERIFY(!SamePixels(Direct(older, ApplyFramePreset, 1), 0, 0, wanted));
    QVERIFY(SamePixels(thumbnails.Pictures(PresetGallery::Frame)[1], 0, 0, wanted));

    thumbnails.SetEnabled(false);
    thumbnails.Start(newer);
    thumbnails.WaitForDone();
    for (PresetGallery g : {PresetGallery::Edge, PresetGallery::Shadow, PresetGallery::Frame})
        QVERIFY(thumbnails.Pictures(g).empty());
}

QTEST_MAIN(LiveThumbnailTest)
#include "LiveThumbnailTest.moc"
