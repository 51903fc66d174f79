// The editing view: its paint and overlay, its place in the scroll box, and the mouse editing of
// the boundary lines.

#include "app/MainFUnit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <memory>
#include <new>

#include "app/AboutBoxUnit.h"
#include "app/BackgroundRender.h"
#include "app/LogoFUnit.h"
#include "app/MemoryGuard.h"
#include "app/Pictures.h"
#include "app/RecentDocuments.h"
#include "app/RenderSchedule.h"
#include "document/LetteringFile.h"
#include "document/PictureSize.h"
#include "editing/EditView.h"
#include "editing/EnvelopeEditor.h"
#include "editing/ViewZoom.h"
#include "platform/AllocationLimit.h"
#include "platform/FileAccess.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "raster/Bildkern.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "render/TextRaster.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/EnvelopeThumbnails.h"
#include "ui/GalleryBox.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/PaintBox.h"
#include "ui/PictureExport.h"
#include "ui/QtBridge.h"
#include "ui/RenderProgress.h"
#include "ui/ResizeFUnit.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/ViewNavigator.h"

namespace gw {

namespace {

// The envelope editor draws its rubber band as it goes; the view draws it at its paints instead,
// over the part each one shows, so what the editor draws lands here unseen.
Canvas& EditorScratch() {
    static Bitmap scratch(1, 1);
    static Canvas canvas(scratch);
    return canvas;
}

// The brush of draw mode, its tip the hot spot.
const QCursor& BrushCursor() {
    static const QCursor cursor(LayoutPicture("cursor-brush.png"), 3, 28);
    return cursor;
}

Qt::CursorShape CursorShape(EditCursor cursor) {
    switch (cursor) {
        case EditCursor::SizeNWSE:
            return Qt::SizeFDiagCursor;
        case EditCursor::SizeNESW:
            return Qt::SizeBDiagCursor;
        case EditCursor::SizeAll:
            return Qt::SizeAllCursor;
        case EditCursor::HandPoint:
            return Qt::PointingHandCursor;
        case EditCursor::Arrow:
        case EditCursor::Brush:
            break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The editing view

void TMainForm::PaintBox1Paint() {
    PaintBox1->PictureChanged();
    shownLines_ = EditViewLines::Of(L(), *editor_);
    shownTab_ = editor_->TabActive;
    viewComposed_ = true;
    PaintBox1->Show();
    if (!schedule_->FirstRenderDone) {
        schedule_->FirstRenderDone = true;
        schedule_->SettingsUpdated();
    }
}

void TMainForm::PaintBox1Overlay(Canvas& canvas, TPoint origin) {
    EditViewLines shown = shownLines_;
    // The strokes of draw mode show as they are drawn, not at the next composition.
    if (shown.mode == EditMode::DrawFace) {
        shown.lines[2] = editor_->WorkLines[0];
        shown.lines[3] = editor_->WorkLines[1];
    }
    const double scale = PaintBox1->zoom();
    PaintEditOverlay(canvas, shown, shownTab_, origin, PaintBox1->width(), PaintBox1->height(),
                     scale);
    const EditMode mode = L().settings.editMode;
    if (editor_->ButtonHeld && editor_->TabActive && mode != EditMode::DrawFace &&
        shown.mode != EditMode::DrawFace) {
        const bool pivotOnly = mode == EditMode::MoveCheck && editor_->DragKind == dkPivot;
        DrawRubberBand(canvas, EditViewLines::Of(L(), *editor_), pivotOnly, origin, scale);
    }
}

void TMainForm::ResizePaintBox() {
    if (!ScrollBox1 || !PaintBox1) return;
    const int w = PaintBox1->width();
    const int h = PaintBox1->height();
    const QSize client = ScrollClientSize();
    const int left = std::max(0, (client.width() - w) / 2);
    const int top = std::max(0, (client.height() - h) / 2);
    PaintBox1->move(left, top);
    FitScrollContent();
}

QSize TMainForm::ScrollClientSize() const {
    // A scroll bar appears where the view does not fit, and takes room from the other side,
    // which may then need its own bar too.
    const QSize whole = ScrollBox1->maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox1);
    const QSize view = PaintBox1->size();
    bool across = view.width() > whole.width();
    bool down = view.height() > whole.height();
    if (across != down) {
        across = across || view.width() > whole.width() - bar;
        down = down || view.height() > whole.height() - bar;
    }
    return {whole.width() - (down ? bar : 0), whole.height() - (across ? bar : 0)};
}

void TMainForm::FitScrollContent() {
    // The scroll range covers the view where it lies, and no more than the client area where the
    // view fits, so no bar appears that has nothing to scroll.
    const QSize client = ScrollClientSize();
    QWidget* content = ScrollBox1->widget();
    content->resize(std::max(PaintBox1->x() + PaintBox1->width(), client.width()),
                    std::max(PaintBox1->y() + PaintBox1->height(), client.height()));
}

void TMainForm::PageControl1Change() {
    if (DrawFace->isChecked()) MoveCheck->setChecked(true);
    const bool active = PageControl1->currentWidget() == TabSheet4;
    const bool changed = active != editor_->TabActive;
    if (changed) editor_->TabActive = active;
    Command tab{"", Change::EffectTab, nullptr};
    tab.eventCondition = changed;
    Run(std::move(tab));
}

void TMainForm::PaintBox1MouseDown(int x, int y) {
    const QPoint p = editZoom_->ToPicture({x, y});
    if (!editor_->Press(EditorScratch(), p.x(), p.y(), editor_->TabActive)) return;
    session_.FinishOpenStep();
    PaintBox1->Show();
}

void TMainForm::PaintBox1MouseMove(int x, int y) {
    const QPoint p = editZoom_->ToPicture({x, y});
    if (editor_->ButtonHeld) {
        editor_->Drag(EditorScratch(), p.x(), p.y());
        PaintBox1->Show();
        return;
    }
    // The points are as easy to take at any zoom: their reach is the same on the screen.
    const EditCursor cursor = editor_->Hover(p.x(), p.y(), editor_->TabActive,
                                             PictureRadius(kHitRadius, editZoom_->scale()));
    if (cursor == EditCursor::Brush) {
        PaintBox1->setCursor(BrushCursor());
    } else {
        PaintBox1->setCursor(CursorShape(cursor));
    }
}

void TMainForm::PaintBox1MouseUp(int, int) {
    // The lines change while the button is held; the step is taken at the release.
    // The editor moved the lines while the button was held; the release makes the step.
    const EditOutcome outcome = editor_->Release(EditorScratch(), editor_->TabActive);
    switch (outcome) {
        case EditOutcome::Nothing:
            PaintBox1->Show();
            break;
        case EditOutcome::Repaint:
            PaintBox1Paint();
            break;
        case EditOutcome::Render:
            Run({"Hülle bearbeiten", Change::LinesEdited, nullptr});
            break;
        case EditOutcome::HullDrawn:
            suppressViewRepaint_ = true;
            MoveCheck->setChecked(true);
            suppressViewRepaint_ = false;
            Run({"Hülle zeichnen", Change::LinesEdited, nullptr});
            break;
    }
}

}  // namespace gw
