// The views: the editing view with its paint and overlay, its place in the scroll box and the
// mouse editing of the boundary lines; the result view; the zoom of both.

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
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
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
#include "app/LayoutKit.h"
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
#include "ui/PointKeys.h"
#include "ui/QtBridge.h"
#include "ui/RenderProgress.h"
#include "ui/ResizeFUnit.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/Tr.h"
#include "ui/ViewNavigator.h"

namespace gw {

using layout::KeyName;
using layout::Named;
using layout::WithKeys;

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

struct TMainForm::Views {
    QScrollArea* ScrollBox1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QScrollArea* ErgScrollBox = nullptr;
    TPaintBox* ErgPaintBox = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QTabWidget* PageControl3 = nullptr;
    QWidget* TabSheet15 = nullptr;
    QRadioButton* MoveCheck = nullptr;
    QRadioButton* DrawFace = nullptr;
    QLabel* ZoomLabel = nullptr;
    TViewNavigator* editZoom = nullptr;
    TViewNavigator* resultZoom = nullptr;
    // The editing view has been composed since the picture or its size last changed.
    bool composed = false;
    // What the editing view shows over the picture since its last composition.
    EditViewLines shownLines;
    bool shownTab = false;
    // Set while the program itself checks MoveCheck after a hull was drawn: the render that
    // follows paints the view.
    bool suppressRepaint = false;
};

void TMainForm::AreaDeleter::operator()(Views* area) const {
    delete area;
}

void TMainForm::ConnectViews() {
    views_.reset(new Views);
    Views& v = *views_;
    v.ScrollBox1 = Named<QScrollArea>(*this, "ScrollBox1");
    v.PaintBox1 = Named<TPaintBox>(*this, "PaintBox1");
    v.ErgScrollBox = Named<QScrollArea>(*this, "ErgScrollBox");
    v.ErgPaintBox = Named<TPaintBox>(*this, "ErgPaintBox");
    v.PageControl1 = Named<QTabWidget>(*this, "PageControl1");
    v.TabSheet4 = Named<QWidget>(*this, "TabSheet4");
    v.PageControl3 = Named<QTabWidget>(*this, "PageControl3");
    v.TabSheet15 = Named<QWidget>(*this, "TabSheet15");
    v.MoveCheck = Named<QRadioButton>(*this, "MoveCheck");
    v.DrawFace = Named<QRadioButton>(*this, "DrawFace");
    v.ZoomLabel = Named<QLabel>(*this, "ZoomLabel");
    v.ScrollBox1->installEventFilter(this);

    connect(v.PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    // The result view takes the picture's size when its page is shown; it paints what the
    // window holds at that moment.
    connect(v.PageControl3, &QTabWidget::currentChanged, this, [this] {
        if (ResultPageShown()) FitResultView();
    });

    v.PaintBox1->OnPaint = [this] {
        if (!views_->composed || !FirstRenderDone()) PaintBox1Paint();
    };
    // Hovering sets the cursor and the drag kind, so the view follows the mouse unpressed.
    v.PaintBox1->setMouseTracking(true);
    v.PaintBox1->OnMouseDown = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseDown(x, y); };
    v.PaintBox1->OnMouseMove = [this](Qt::MouseButtons, int x, int y) { PaintBox1MouseMove(x, y); };
    v.PaintBox1->OnMouseUp = [this](Qt::MouseButton, int x, int y) { PaintBox1MouseUp(x, y); };
    v.ErgPaintBox->OnPaint = [this] { ErgPaintBoxPaint(); };
    v.PaintBox1->OnOverlay = [this](Canvas& canvas, TPoint origin) {
        PaintBox1Overlay(canvas, origin);
    };
    v.PaintBox1->ShowPicture(&images().Picture);
    v.ErgPaintBox->ShowPicture(&images().Picture);
    // On "Punkte bearbeiten" the keys pick and move the points as the mouse does.
    new TPointKeys(v.PaintBox1, session(), Named<QStatusBar>(*this, "StatusBar1"),
                   [this] { PaintBox1Paint(); });

    struct Pan {
        bool active = false;
        QPoint start;
        QPoint scroll;
    };
    auto pan = std::make_shared<Pan>();
    QScrollArea* scroll = v.ErgScrollBox;
    TPaintBox* box = v.ErgPaintBox;
    box->OnMouseDown = [scroll, box, pan](Qt::MouseButton, int x, int y) {
        // Positions are taken in the view's own coordinates, so the picture follows the pointer.
        pan->active = true;
        pan->start = box->mapTo(scroll->viewport(), QPoint(x, y));
        pan->scroll = {scroll->horizontalScrollBar()->value(),
                       scroll->verticalScrollBar()->value()};
    };
    box->OnMouseMove = [scroll, box, pan](Qt::MouseButtons, int x, int y) {
        if (!pan->active) return;
        const QPoint now = box->mapTo(scroll->viewport(), QPoint(x, y));
        scroll->horizontalScrollBar()->setValue(pan->start.x() + pan->scroll.x() - now.x());
        scroll->verticalScrollBar()->setValue(pan->start.y() + pan->scroll.y() - now.y());
    };
    box->OnMouseUp = [pan](Qt::MouseButton, int, int) { pan->active = false; };
}

void TMainForm::StartViews() {
    views_->editZoom->SetPictureSize({L().width, L().height});
    ResizePaintBox();
    session().editor().TabActive = views_->PageControl1->currentWidget() == views_->TabSheet4;
}

void TMainForm::StopViews() {
    views_->editZoom->SetPanning(false);
}

bool TMainForm::ViewEvent(QObject* watched, QEvent* event) {
    if (!views_ || watched != views_->ScrollBox1 || event->type() != QEvent::Resize) return false;
    ResizePaintBox();
    return false;
}

bool TMainForm::ResultPageShown() const {
    return views_->PageControl3->currentWidget() == views_->TabSheet15;
}

void TMainForm::FollowPictureSize() {
    if (views_->editZoom->pictureSize() == QSize(L().width, L().height)) return;
    // The view keeps its place; only a change of the window centres it again.
    views_->editZoom->SetPictureSize({L().width, L().height});
    FitScrollContent();
    views_->composed = false;
}

void TMainForm::SetViewPictureSize() {
    views_->editZoom->SetPictureSize({L().width, L().height});
}

void TMainForm::ViewOutdated() {
    views_->composed = false;
}

void TMainForm::ViewSizeTaken() {
    views_->PaintBox1->PictureChanged();
    ResizePaintBox();
    FitResultView();
}

void TMainForm::PicturesChanged() {
    views_->PaintBox1->PictureChanged();
    views_->ErgPaintBox->PictureChanged();
}

void TMainForm::RepaintEditView() {
    // After a hull was drawn the render that follows paints the view.
    if (!views_->suppressRepaint) PaintBox1Paint();
}

void TMainForm::FitResultView() {
    views_->ErgPaintBox->PictureChanged();
    ErgPaintBoxPaint();
    views_->ErgPaintBox->update();
}

void TMainForm::ErgPaintBoxPaint() {
    const QSize size(DibWidth(images().Picture), DibHeight(images().Picture));
    if (views_->resultZoom->pictureSize() != size) views_->resultZoom->SetPictureSize(size);
}

// ---------------------------------------------------------------------------------------------
// The editing view

void TMainForm::PaintBox1Paint() {
    views_->PaintBox1->PictureChanged();
    views_->shownLines = EditViewLines::Of(L(), session().editor());
    views_->shownTab = session().editor().TabActive;
    views_->composed = true;
    views_->PaintBox1->Show();
    RenderFirstTime();
}

void TMainForm::PaintBox1Overlay(Canvas& canvas, TPoint origin) {
    EditViewLines shown = views_->shownLines;
    // The strokes of draw mode show as they are drawn, not at the next composition.
    if (shown.mode == EditMode::DrawFace) {
        shown.lines[2] = session().editor().WorkLines[0];
        shown.lines[3] = session().editor().WorkLines[1];
    }
    if (views_->PaintBox1->hasFocus()) shown.keyPicked = session().editor().PickedIndex();
    const double scale = views_->PaintBox1->zoom();
    PaintEditOverlay(canvas, shown, views_->shownTab, origin, views_->PaintBox1->width(),
                     views_->PaintBox1->height(), scale);
    const EditMode mode = L().settings.editMode;
    if (session().editor().ButtonHeld && session().editor().TabActive &&
        mode != EditMode::DrawFace && shown.mode != EditMode::DrawFace) {
        const bool pivotOnly =
            mode == EditMode::MoveCheck && session().editor().DragKind == dkPivot;
        DrawRubberBand(canvas, EditViewLines::Of(L(), session().editor()), pivotOnly, origin,
                       scale);
    }
}

void TMainForm::ResizePaintBox() {
    if (!views_) return;
    const int w = views_->PaintBox1->width();
    const int h = views_->PaintBox1->height();
    const QSize client = ScrollClientSize();
    const int left = std::max(0, (client.width() - w) / 2);
    const int top = std::max(0, (client.height() - h) / 2);
    views_->PaintBox1->move(left, top);
    FitScrollContent();
}

QSize TMainForm::ScrollClientSize() const {
    // A scroll bar appears where the view does not fit, and takes room from the other side,
    // which may then need its own bar too.
    const QSize whole = views_->ScrollBox1->maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, views_->ScrollBox1);
    const QSize view = views_->PaintBox1->size();
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
    QWidget* content = views_->ScrollBox1->widget();
    content->resize(
        std::max(views_->PaintBox1->x() + views_->PaintBox1->width(), client.width()),
        std::max(views_->PaintBox1->y() + views_->PaintBox1->height(), client.height()));
}

void TMainForm::PageControl1Change() {
    if (views_->DrawFace->isChecked()) views_->MoveCheck->setChecked(true);
    const bool active = views_->PageControl1->currentWidget() == views_->TabSheet4;
    const bool changed = active != session().editor().TabActive;
    if (changed) session().editor().TabActive = active;
    Command tab{"", Change::EffectTab, nullptr};
    tab.eventCondition = changed;
    Run(std::move(tab));
}

void TMainForm::PaintBox1MouseDown(int x, int y) {
    const QPoint p = views_->editZoom->ToPicture({x, y});
    if (!session().editor().Press(EditorScratch(), p.x(), p.y(), session().editor().TabActive))
        return;
    session().FinishOpenStep();
    views_->PaintBox1->Show();
}

void TMainForm::PaintBox1MouseMove(int x, int y) {
    const QPoint p = views_->editZoom->ToPicture({x, y});
    if (session().editor().ButtonHeld) {
        session().editor().Drag(EditorScratch(), p.x(), p.y());
        views_->PaintBox1->Show();
        return;
    }
    // The points are as easy to take at any zoom: their reach is the same on the screen.
    const EditCursor cursor =
        session().editor().Hover(p.x(), p.y(), session().editor().TabActive,
                                 PictureRadius(kHitRadius, views_->editZoom->scale()));
    if (cursor == EditCursor::Brush) {
        views_->PaintBox1->setCursor(BrushCursor());
    } else {
        views_->PaintBox1->setCursor(CursorShape(cursor));
    }
}

void TMainForm::PaintBox1MouseUp(int, int) {
    // The lines change while the button is held; the step is taken at the release.
    // The editor moved the lines while the button was held; the release makes the step.
    const EditOutcome outcome =
        session().editor().Release(EditorScratch(), session().editor().TabActive);
    switch (outcome) {
        case EditOutcome::Nothing:
            views_->PaintBox1->Show();
            break;
        case EditOutcome::Repaint:
            PaintBox1Paint();
            break;
        case EditOutcome::Render:
            Run({N_("Hülle bearbeiten"), Change::LinesEdited, nullptr});
            break;
        case EditOutcome::HullDrawn:
            views_->suppressRepaint = true;
            views_->MoveCheck->setChecked(true);
            views_->suppressRepaint = false;
            Run({N_("Hülle zeichnen"), Change::LinesEdited, nullptr});
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Zoom

void TMainForm::ConnectZoom() {
    Views& v = *views_;
    v.editZoom = new TViewNavigator(v.ScrollBox1, v.PaintBox1);
    v.editZoom->setObjectName(QStringLiteral("PaintBox1Zoom"));
    v.editZoom->OnPlace = [this] { ResizePaintBox(); };
    v.editZoom->SetPanning(true);
    // A click into the view gives it the keys, so Space pans there even after typing.
    v.PaintBox1->setFocusPolicy(Qt::ClickFocus);
    v.resultZoom = new TViewNavigator(v.ErgScrollBox, v.ErgPaintBox);
    v.resultZoom->setObjectName(QStringLiteral("ErgPaintBoxZoom"));

    struct Command {
        const char* name;
        QString text;
        void (TViewNavigator::*run)();
        std::vector<QKeySequence> keys;
    };
    const Command commands[] = {
        {"ZoomFit", QTr("Ganzes Bild"), &TViewNavigator::FitWhole, {}},
        {"Zoom100",
         QStringLiteral("100 %"),
         &TViewNavigator::ActualSize,
         {QKeySequence(Qt::CTRL | Qt::Key_0),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_0)}},
        {"ZoomIn",
         QTr("Vergrößern"),
         &TViewNavigator::ZoomIn,
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)}},
        {"ZoomOut",
         QTr("Verkleinern"),
         &TViewNavigator::ZoomOut,
         {QKeySequence(Qt::CTRL | Qt::Key_Minus),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)}},
    };
    for (const Command& command : commands)
        for (const QKeySequence& keys : command.keys) {
            auto* shortcut = new QShortcut(keys, this);
            connect(shortcut, &QShortcut::activated, this,
                    [this, run = command.run] { (ShownZoom()->*run)(); });
        }

    // Each view has the commands in a row of its page's header and in its menu.
    struct View {
        TViewNavigator* zoom;
        QWidget* header;
        const char* prefix;
    };
    for (const View& view : {View{v.editZoom, Named<QWidget>(*this, "Panel6"), ""},
                             View{v.resultZoom, Named<QWidget>(*this, "Panel16"), "Erg"}}) {
        auto* menu = new QMenu(this);
        auto* row = static_cast<QHBoxLayout*>(view.header->layout());
        row->addStretch(1);
        for (const Command& command : commands) {
            const QString keys = command.keys.empty() ? QString() : KeyName(command.keys.front());
            QAction* action = menu->addAction(
                keys.isEmpty() ? command.text : command.text + QLatin1Char('\t') + keys);
            connect(action, &QAction::triggered, this,
                    [zoom = view.zoom, run = command.run] { (zoom->*run)(); });
            auto* button = new QToolButton(view.header);
            button->setObjectName(QString::fromLatin1(view.prefix) +
                                  QString::fromLatin1(command.name) + QStringLiteral("Btn"));
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            const bool sign =
                command.run == &TViewNavigator::ZoomIn || command.run == &TViewNavigator::ZoomOut;
            // The steps are signs, so the row leaves the header its title.
            button->setText(!sign                                    ? command.text
                            : command.run == &TViewNavigator::ZoomIn ? QStringLiteral("+")
                                                                     : QStringLiteral("\u2212"));
            button->setToolTip(keys.isEmpty() ? command.text
                                              : WithKeys(command.text, command.keys.front()));
            if (sign) button->setFixedWidth(25);
            connect(button, &QToolButton::clicked, this,
                    [zoom = view.zoom, run = command.run] { (zoom->*run)(); });
            row->addWidget(button);
        }
        view.zoom->SetContextMenu(menu);
        connect(view.zoom, &TViewNavigator::zoomChanged, this, [this] { ShowZoom(); });
    }
    connect(v.PageControl3, &QTabWidget::currentChanged, this, [this] { ShowZoom(); });
    ShowZoom();
}

TViewNavigator* TMainForm::ShownZoom() const {
    return ResultPageShown() ? views_->resultZoom : views_->editZoom;
}

void TMainForm::ShowZoom() {
    views_->ZoomLabel->setText(ShownZoom()->ZoomText());
}

}  // namespace gw
