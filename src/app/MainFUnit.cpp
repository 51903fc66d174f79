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
#include <QSettings>
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
#include "app/AccessibleNames.h"
#include "app/BackgroundRender.h"
#include "app/LayoutKit.h"
#include "app/LogoFUnit.h"
#include "app/MemoryGuard.h"
#include "app/Pictures.h"
#include "app/RecentDocuments.h"
#include "app/RenderSchedule.h"
#include "app/WindowPlacement.h"
#include "document/BuiltinTextures.h"
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
#include "ui/Accessible.h"
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
#include "ui/Tr.h"
#include "ui/ViewNavigator.h"

namespace gw {

using layout::Named;

// The session, the window's life cycle, help and the picture buttons of the bottom bar.
struct TMainForm::Shell {
    EditingSession session;
    BuiltinTextures builtinTextures;
    QString helpFile;
    QTextBrowser* helpWindow = nullptr;
    TLogoForm* logoForm = nullptr;
    bool shownOnce = false;
    bool remembersPlacement = false;

    // An image button: its normal picture and the pressed one lie on the same spot. The normal
    // picture carries the pressed state as its property "pressed".
    struct ImagePair {
        TImage* normal = nullptr;
        TImage* pressed = nullptr;
    };
    QWidget* Panel8 = nullptr;
    ImagePair about;
    ImagePair end;
    // The pair the mouse holds, if any, and what its moves and release do.
    const ImagePair* held = nullptr;
    std::function<void(const ImagePair&, int, int)> moveHeld;
    std::function<void(const ImagePair&, int, int)> releaseHeld;
};

void TMainForm::AreaDeleter::operator()(Shell* area) const {
    delete area;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
}

const Lettering& TMainForm::lettering() const {
    return shell_->session.lettering();
}

const Lettering& TMainForm::L() const {
    return shell_->session.lettering();
}

EditingSession& TMainForm::session() {
    return shell_->session;
}

const TEnvelopeEditor& TMainForm::envelopeEditor() const {
    return shell_->session.editor();
}

QString TMainForm::currentFileName() const {
    return ToQString(shell_->session.fileName());
}

const BuiltinTextures& TMainForm::builtinTextures() const {
    return shell_->builtinTextures;
}

void TMainForm::SetHelpFile(const QString& fileName) {
    shell_->helpFile = fileName;
}

namespace {

const QString kPlacementKey = QStringLiteral("window/geometry");
const QString kMaximizedKey = QStringLiteral("window/maximized");

}  // namespace

void TMainForm::RememberPlacement() {
    shell_->remembersPlacement = true;
    QList<QRect> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) screens << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary) screens << screen->availableGeometry();
    const QSettings settings;
    setGeometry(
        PlacedWindow(settings.value(kPlacementKey).toRect(), minimumSizeHint(), screens, size()));
    if (settings.value(kMaximizedKey).toBool()) setWindowState(windowState() | Qt::WindowMaximized);
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void TMainForm::FormCreate() {
    shell_.reset(new Shell);

    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    resize(648, 577);
    setToolTipDuration(-1);

    // Our own widgets' accessibility is there before any of them is asked for.
    InstallAccessibility();
    BuildLayout();
    SetUpRenders();
    ConnectDocuments();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, [this] { HelpContents(); });

    ConnectShell();
    ConnectViews();
    ConnectGalleries();
    ConnectPictureCommands();
    ConnectControls();
    ConnectZoom();
    ConnectDesktopHabits();
    ConnectLiveThumbnails();
    NameControls(*this);

    shell_->session.Observe([this](const SessionNotice& notice) { SessionNotified(notice); });
    UpdateCaption();
    StartControls();
    StartViews();
    FillFontList();
    WriteControls();
    StartRenders();
    // The help in the window's language: the catalogue names its file, and the German one stands
    // in where that file is not installed.
    const QString folder = ToQString(DataFolder());
    shell_->helpFile = folder + QTr(kHelpFileName);
    if (!QFileInfo::exists(shell_->helpFile))
        shell_->helpFile = folder + QString::fromLatin1(kHelpFileName);
    UpdateUndoButtons();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (shell_->shownOnce) return;
    shell_->shownOnce = true;
    shell_->logoForm = new TLogoForm(this);
    shell_->logoForm->show();
    QCoreApplication::processEvents();

    LoadBuiltinTextures(shell_->builtinTextures, DataFolder(),
                        [] { QCoreApplication::processEvents(); });
    shell_->session.Restart(
        [this](Lettering& lettering) { SetStartTextures(lettering, shell_->builtinTextures); });
    ShowTextures();
    shell_->logoForm->hide();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        if (shell_->remembersPlacement) {
            QSettings settings;
            settings.setValue(kPlacementKey, isMaximized() ? normalGeometry() : geometry());
            settings.setValue(kMaximizedKey, isMaximized());
        }
        event->accept();
    } else {
        event->ignore();
    }
}

bool TMainForm::FormCloseQuery() {
    return MayDropChanges(
        catalogue::Tr("Hiermit beenden Sie das Programm. Alle nicht gespeicherten Einstellungen "
                      "gehen verloren."),
        catalogue::Tr("Beenden"), MsgIcon::Information);
}

void TMainForm::FormDestroy() {
    StopViews();
    FreeRenders();
    for (DibImage& texture : shell_->builtinTextures.entries)
        deldib(texture);
    shell_->builtinTextures.entries.clear();
    if (shell_->helpWindow) {
        shell_->helpWindow->close();
        delete shell_->helpWindow;
        shell_->helpWindow = nullptr;
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizePaintBox();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (RunSharedMnemonic(watched, event)) return true;
    // The keys of undo and redo go to the window's shortcuts, not to the text fields.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto combo = key->keyCombination();
        if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    ViewEvent(watched, event);
    if (PictureButtonEvent(watched, event)) return true;
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Shell

void TMainForm::ConnectShell() {
    Shell& shell = *shell_;
    shell.Panel8 = Named<QWidget>(*this, "Panel8");
    shell.Panel8->installEventFilter(this);
    shell.about = {Named<TImage>(*this, "ueberbtn"), Named<TImage>(*this, "ueberBtn2")};
    shell.end = {Named<TImage>(*this, "EndeBtn"), Named<TImage>(*this, "EndeBtnDown")};
    connect(Named<QToolButton>(*this, "wwwBtn"), &QToolButton::clicked, this,
            [this] { wwwBtnClick(); });

    const auto pressed = [](const Shell::ImagePair& pair) {
        return pair.normal->property("pressed").toBool();
    };
    const auto move = [pressed](const Shell::ImagePair& pair, int x, int y) {
        if (!pressed(pair)) return;
        const bool outside =
            x < 0 || x >= pair.normal->width() || y < 0 || y >= pair.normal->height();
        pair.normal->setVisible(outside);
        pair.pressed->setVisible(!outside);
    };
    const auto release = [this, pressed](const Shell::ImagePair& pair, int x, int y) {
        if (!pressed(pair)) return;
        if (QWidget::mouseGrabber() == shell_->Panel8) shell_->Panel8->releaseMouse();
        shell_->held = nullptr;
        const bool inside =
            x >= 0 && x < pair.normal->width() && y >= 0 && y < pair.normal->height();
        pair.normal->show();
        pair.pressed->hide();
        pair.normal->setProperty("pressed", false);
        if (!inside) return;
        if (&pair == &shell_->about) {
            ueberbtnClick();
        } else {
            EndeBtnClick();
        }
    };
    for (const Shell::ImagePair* pair : {&shell.about, &shell.end}) {
        // Only the left button presses a picture button, as with any other button.
        pair->normal->OnMouseDown = [this, pair](Qt::MouseButton button, int, int) {
            if (button != Qt::LeftButton) return;
            pair->pressed->show();
            pair->normal->hide();
            pair->normal->setProperty("pressed", true);
            shell_->held = pair;
            // The normal picture is hidden now; the panel holds the mouse until it is released.
            if (shell_->Panel8->isVisible()) shell_->Panel8->grabMouse();
        };
        for (TImage* image : {pair->normal, pair->pressed}) {
            image->OnMouseMove = [move, pair](Qt::MouseButtons, int x, int y) {
                move(*pair, x, y);
            };
            image->OnMouseUp = [release, pair](Qt::MouseButton, int x, int y) {
                release(*pair, x, y);
            };
        }
    }
    shell.moveHeld = move;
    shell.releaseHeld = release;
}

bool TMainForm::PictureButtonEvent(QObject* watched, QEvent* event) {
    Shell& shell = *shell_;
    if (watched != shell.Panel8 || !shell.held) return false;
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const Shell::ImagePair& pair = *shell.held;
    const QPoint p = pair.normal->mapFrom(shell.Panel8, mouse->position().toPoint());
    if (event->type() == QEvent::MouseMove) {
        shell.moveHeld(pair, p.x(), p.y());
    } else {
        shell.releaseHeld(pair, p.x(), p.y());
    }
    return true;
}

void TMainForm::ueberbtnClick() {
    TAboutBox box(this);
    box.exec();
}

void TMainForm::EndeBtnClick() {
    close();
}

void TMainForm::wwwBtnClick() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
}

void TMainForm::HelpContents() {
    QTextBrowser*& helpWindow = shell_->helpWindow;
    const QString& helpFile = shell_->helpFile;
    if (!helpWindow) {
        helpWindow = new QTextBrowser;
        helpWindow->setObjectName(QStringLiteral("HelpWindow"));
        // An open help window does not keep the program running once the main window closed.
        helpWindow->setAttribute(Qt::WA_QuitOnClose, false);
        helpWindow->setWindowTitle(QTr("Zarbo Glyphwerk - Hilfe"));
        helpWindow->setOpenExternalLinks(true);
        helpWindow->resize(620, 560);
    }
    if (QFileInfo::exists(helpFile)) {
        helpWindow->setSource(QUrl::fromLocalFile(helpFile));
    } else {
        helpWindow->setHtml(QTr("<p>Die Hilfedatei <b>%1</b> wurde nicht gefunden.</p>")
                                .arg(helpFile.toHtmlEscaped()));
    }
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

}  // namespace gw
