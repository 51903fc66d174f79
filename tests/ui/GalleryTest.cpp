// The layout of the thumbnail galleries: rows from the height, the width from the count, and
// the hit rectangles that take in the gap pixels.

#include <QTest>

#include "ui/Gallery.h"

using gw::GalleryLayout;

class GalleryTest : public QObject {
    Q_OBJECT

  private slots:
    void envelopeGalleryHasThreeRowsOfNine();
    void textureGalleryRowsFollowTheHeight();
    void gapPixelsBelongToTheCellBeforeThem();
    void clicksOutsideTheCellsHitNothing();
    void aBoxLowerThanOneCellHasNoRows();
};

void GalleryTest::envelopeGalleryHasThreeRowsOfNine() {
    const GalleryLayout envelopes{64, 32, 27, 125};
    QCOMPARE(envelopes.Rows(), 3);
    QCOMPARE(envelopes.Columns(), 9);
    QCOMPARE(envelopes.Width(), 585);
    const GalleryLayout frames{64, 32, 5, 125};
    QCOMPARE(frames.Width(), 130);
    const GalleryLayout edges{64, 32, 11, 94};
    QCOMPARE(edges.Rows(), 2);
    QCOMPARE(edges.Width(), 390);
    const GalleryLayout shadows{64, 32, 8, 94};
    QCOMPARE(shadows.Width(), 260);
    // Filled top to bottom, then left to right.
    QCOMPARE(envelopes.Cell(4), (gw::TRect{65, 33, 129, 65}));
}

void GalleryTest::textureGalleryRowsFollowTheHeight() {
    GalleryLayout textures{32, 32, 7, 99};
    QCOMPARE(textures.Rows(), 3);
    QCOMPARE(textures.Columns(), 3);
    QCOMPARE(textures.Width(), 99);
    textures.boxHeight = 98;
    QCOMPARE(textures.Rows(), 2);
    QCOMPARE(textures.Width(), 4 * 33);
}

void GalleryTest::gapPixelsBelongToTheCellBeforeThem() {
    const GalleryLayout envelopes{64, 32, 27, 125};
    QCOMPARE(envelopes.HitTest(0, 0), 0);
    QCOMPARE(envelopes.HitTest(64, 0), 0);  // the gap to the right of thumbnail 0
    QCOMPARE(envelopes.HitTest(65, 0), 3);  // the next column starts
    QCOMPARE(envelopes.HitTest(0, 32), 0);  // the gap below thumbnail 0
    QCOMPARE(envelopes.HitTest(0, 33), 1);
    QCOMPARE(envelopes.HitTest(584, 98), 26);
}

void GalleryTest::clicksOutsideTheCellsHitNothing() {
    const GalleryLayout envelopes{64, 32, 27, 125};
    QCOMPARE(envelopes.HitTest(10, 99), -1);  // below the third row
    QCOMPARE(envelopes.HitTest(600, 10), -1);
    QCOMPARE(envelopes.HitTest(-1, 0), -1);
    const GalleryLayout edges{64, 32, 11, 94};
    QCOMPARE(edges.HitTest(5 * 65 + 10, 40), -1);  // beyond the last cell of the last column
    QCOMPARE(edges.HitTest(5 * 65 + 10, 10), 10);
}

void GalleryTest::aBoxLowerThanOneCellHasNoRows() {
    const GalleryLayout textures{32, 32, 7, 32};
    QCOMPARE(textures.Rows(), 0);
    QCOMPARE(textures.Width(), 0);
    QCOMPARE(textures.HitTest(0, 0), -1);
    const GalleryLayout none{32, 32, 0, 99};
    QCOMPARE(none.Width(), 0);
    QCOMPARE(none.HitTest(0, 0), -1);
}

QTEST_MAIN(GalleryTest)
#include "GalleryTest.moc"
