#pragma once
// TMainForm: the main window, a view of one editing session. Every control turns its event into
// a command of the session (EditingSession.h); the session changes the lettering, records the
// undo step and tells the window what changed and whether to render now, to restart the
// one-second countdown, to repaint the editing view, or to do nothing. The window writes its
// controls from the lettering when the program changed it (undo, presets, documents); the
// controls' handlers make no commands meanwhile. The renderer reads the model when it runs.
//
// Controls, handlers and the pipeline's state are the window's own. From outside, the controls
// are found by their names (findChild) and driven with events; the render schedule (Timer1 and
// its flags) is the child "RenderSchedule", a gallery's choice is its box's, an image button's
// pressed state the property "pressed" of its normal picture.

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "document/Reactions.h"
#include "editing/EditView.h"
#include "editing/EditingSession.h"
#include "platform/System.h"
#include "render/Pipeline.h"
#include "ui/PictureExport.h"

namespace gw {
// The help page in the data folder.
inline constexpr char kHelpFileName[] = "zarbox.html";
}  // namespace gw

class QComboBox;
class QImage;
class QPrinter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QMenu;
class QScrollArea;
class QShortcut;
class QStatusBar;
class QTabWidget;
class QTextBrowser;
class QTimer;
class QToolButton;

namespace gw {

class SpinEdit;
class TBackgroundRender;
class TEnvelopeEditor;
class TGalleryBox;
class TRenderSchedule;
class TImage;
class TImageList;
class TLiveThumbnails;
class TLogoForm;
class TPaintBox;
class TResizeForm;
class TShape;
class TSurfaceFrame;
class TViewNavigator;
struct ScaledMeasure;
struct SettingInfo;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The lettering this window shows, the session that edits it, and the images of the last
    // render.
    const Lettering& lettering() const { return session_.lettering(); }
    EditingSession& session() { return session_; }
    const RenderImages& images() const { return images_; }

    // Completed renders since the window was made.
    int renderCount() const;
    QString currentFileName() const;
    // The envelope editor's state (drag kind, strokes, whether its tab is active).
    const TEnvelopeEditor& envelopeEditor() const { return session_.editor(); }

    // Document commands without their dialogs and questions.
    void SaveFile(const QString& fileName);
    void OpenFile(const QString& fileName);
    // The help file, the data folder's "zarbox.html" unless set otherwise.
    void SetHelpFile(const QString& fileName) { helpFile_ = fileName; }

  signals:
    // A render has finished and the editing view shows its picture.
    void rendered();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A .zgw dropped on the window opens as Öffnen does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    bool FormCloseQuery();

    // The session: a command from a control (none while the program writes the controls), and
    // what the window does on the session's notices.
    void Run(Command command);
    void SessionNotified(const SessionNotice& notice);
    // The pipeline.
    bool RenderNow();
    // Big pictures: rendered on a worker while the window goes on; Esc drops the render.
    void SetUpBackgroundRender();
    bool RenderBeside();
    void BackgroundRenderEnded(bool ok);
    // The status bar's word that a render is running, and Esc with it.
    void ShowRendering(bool running);
    // A size change whose picture renders beside the window: taken back when memory runs out
    // in the render; SettleSize keeps it.
    bool sizePending_ = false;
    void SettleSize();
    // The session's generation the picture on its way draws.
    std::uint64_t backgroundGeneration_ = 0;
    // While the picture does not show the settings (a render cancelled), the status bar says
    // so; export, print and copy draw the settings first. False when the user cancelled that.
    void ShowPictureState();
    bool DrawCurrentPicture();
    // Set while a command needs its picture before it goes on.
    bool renderAtOnce_ = false;
    TBackgroundRender* background_ = nullptr;
    QShortcut* cancelRender_ = nullptr;

    // The editing view.
    void PaintBox1Paint();
    // Draws the lines, handles and rubber band over the part of the view a paint shows.
    void PaintBox1Overlay(Canvas& canvas, TPoint origin);
    void ResizePaintBox();
    void FitScrollContent();
    // The scroll area's client size with the scroll bars the view needs.
    QSize ScrollClientSize() const;
    void PageControl1Change();
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(int x, int y);

    // Zoom of both picture views: the commands act on the view of the page in front.
    void ConnectZoom();
    TViewNavigator* ShownZoom() const;
    void ShowZoom();
    TViewNavigator* editZoom_ = nullptr;
    TViewNavigator* resultZoom_ = nullptr;

    // Galleries.
    void VFormPaintMouseDown(int x, int y);
    void KantePaintMouseDown(int x, int y);
    void SchattenPaintMouseDown(int x, int y);
    void RahmenPaintMouseDown(int x, int y);

    // Picture size.
    void ResizeBtnClick();

    // Result page.
    void ExportBtnClick();
    void PrintBtnClick();
    void PreviewBtnClick();
    // Puts the picture on the printer's page at its resolution, rendered smooth at the scale the
    // printer's resolution asks for; a render of the same scale in `cache` is taken from there.
    // False when the user cancelled the render or it failed (and was reported).
    bool PaintPrint(QPrinter& printer, QImage& cache);
    void Kopieren1Click();
    void ErgPaintBoxPaint();
    void FitResultView();
    // What was chosen for exports, the clipboard and prints in this session.
    ExportChoices exportChoices_;

    // Document commands.
    void NewBtnClick();
    void SpeedButton2Click();
    void SaveBtnClick();
    void SaveAsBtnClick();

    // Writes every control from the model.
    void WriteControls();

    // Undo and redo; typing (text box, spin fields) keeps its step open until the countdown
    // renders.
    void UndoBtnClick();
    void RedoBtnClick();
    void UpdateUndoButtons();
    // Set while the program writes controls: their handlers make no commands.
    bool writingControls_ = false;

    // Handlers of the controls; each writes its own part of the model.
    void Memo1Change();
    void FontListChange(int index);
    void SurfaceKindChanged(int surface, int kind, bool classChanged);
    // Surfaces: installs a copy of built-in texture `index` for the letters (surface 1) or the
    // background (surface 2).
    void SetTexture(int surface, int index);
    void TextureFrame1DIBPaintBoxPaint();
    void FitTexturePreviews();

    // Shell.
    void ueberbtnClick();
    void EndeBtnClick();
    void wwwBtnClick();
    void HelpContents();

    // Desktop habits: keys, the Alt letters two captions share, tool tips with their keys.
    void ConnectDesktopHabits();
    void ConnectKeys();
    // A mnemonic two buttons of the current page share runs the page's command (or the tool
    // bar's) at the first press instead of only moving the focus.
    bool RunSharedMnemonic(QObject* receiver, QEvent* event);
    std::vector<QShortcut*> resultPageKeys_;

    // The caption: the document's name, and "*" while the session says it is modified.
    void UpdateCaption();
    // Asks the question of a command that would drop the changes, if there are any: true when
    // the command may go on (saved, discarded, or nothing to lose).
    bool MayDropChanges(std::string_view question, std::string_view caption, MsgIcon icon);
    // Save, or Save As on an untitled document: true when the lettering was saved.
    bool SaveDocument();

    // Öffnen's question, and the menu of the documents last opened on its button.
    bool MayOpen();
    void ConnectRecentMenu();
    void FillRecentMenu();
    void OpenRecent(const QString& fileName);
    QMenu* recentMenu_ = nullptr;

    // Window layout, one part each.
    void BuildToolBar(QWidget* parent);
    void BuildMakePage();
    void BuildResultPage();
    void BuildBottomBar(QWidget* parent);
    QWidget* BuildTextTab();
    QWidget* BuildSurfaceTab();
    QWidget* BuildEnvelopeTab();
    QWidget* BuildOutlineTab();
    QWidget* BuildEdgeTab();
    QWidget* BuildShadowTab();
    QWidget* BuildFrameTab();
    SpinEdit* MakeSpin(const char* name, QWidget* parent);
    void ConnectHandlers();
    void ConnectSettings();
    // The controls named in the settings table, from the model.
    void WriteSettingControls();
    // A control of the settings table has written its entry.
    void SettingChanged(const SettingInfo& info, double value);
    // Memo1 shows the lettering font with its style.
    void ShowLetteringFont();
    void FillFontList();

    // The image buttons of the bottom bar: the normal picture and the pressed one lie on the
    // same spot; while the mouse is held, Panel8 holds the mouse so the pair follows it. The
    // normal picture carries the pressed state as its property "pressed".
    struct ImagePair {
        TImage* normal = nullptr;
        TImage* pressed = nullptr;
    };
    void ImageButtonDown(ImagePair pair);
    void ImageButtonMove(ImagePair pair, int x, int y);
    void ImageButtonUp(ImagePair pair, int x, int y);
    static bool Pressed(ImagePair pair);
    ImagePair AboutPair();
    ImagePair EndPair();
    ImagePair* heldPair_ = nullptr;
    ImagePair heldPairStorage_;

    struct SettingControl {
        const SettingInfo* info;
        QWidget* control;
    };
    std::vector<SettingControl> settingControls_;

    EditingSession session_;
    const Lettering& L() const { return session_.lettering(); }
    RenderImages images_;
    BuiltinTextures builtinTextures_;
    TRenderSchedule* schedule_ = nullptr;
    std::string programFolder_;
    QString helpFile_;
    QTextBrowser* helpWindow_ = nullptr;
    TLogoForm* logoForm_ = nullptr;
    bool shownOnce_ = false;
    bool viewComposed_ = false;
    // What the editing view shows over the picture since its last composition.
    EditViewLines shownLines_;
    bool shownTab_ = false;
    // Set while the program itself checks MoveCheck after a hull was drawn: the render that
    // follows paints the view.
    bool suppressViewRepaint_ = false;
    // A render that ran out of memory sets renderFailed_; while holdMemoryMessage_ is set, the
    // command that caused the render tells the user itself, after taking its change back.
    bool renderFailed_ = false;
    bool holdMemoryMessage_ = false;
    bool TakePictureSize(bool newPicture);
    TEnvelopeEditor* editor_ = &session_.editor();
    std::unique_ptr<TImageList> VFormImages;
    std::unique_ptr<TImageList> KanteImages;
    std::unique_ptr<TImageList> SchattenImages;
    std::unique_ptr<TImageList> RahmenImages;
    // The edge, shadow and frame galleries' pictures of the lettering, remade after a render
    // while one of them is in view (or when one comes into view after a render).
    TLiveThumbnails* thumbnails_ = nullptr;
    bool thumbnailsStale_ = false;
    void ConnectLiveThumbnails();
    void RefreshThumbnails();

    // Controls, by their names.
    QWidget* Panel25;
    QToolButton* SpeedButton1;
    QToolButton* OpenBtn;
    QToolButton* SpeedButton2;
    QToolButton* SaveBtn;
    QToolButton* SaveAsBtn;
    QToolButton* UndoBtn;
    QToolButton* RedoBtn;
    QTabWidget* PageControl3;
    QWidget* Panel6;
    QScrollArea* ScrollBox1;
    TPaintBox* PaintBox1;
    QTabWidget* PageControl1;
    QWidget* TabSheet2;
    QWidget* TabSheet4;
    QWidget* TabSheet15;
    QWidget* Panel16;
    QPushButton* SaveAsButton;
    QPushButton* PrintButton;
    QPushButton* PreviewButton;
    QPushButton* CopyButton;
    QScrollArea* ErgScrollBox;
    TPaintBox* ErgPaintBox;
    QWidget* Panel7;
    QToolButton* wwwBtn;
    QWidget* Panel8;
    TImage* ueberbtn;
    TImage* ueberBtn2;
    TImage* EndeBtn;
    TImage* EndeBtnDown;
    QStatusBar* StatusBar1;
    QLabel* ZoomLabel = nullptr;
    TResizeForm* ResizeForm;
    // Text
    QPlainTextEdit* Memo1;
    QComboBox* FontList;
    // Surfaces
    TSurfaceFrame* SurfaceFrame1;
    TSurfaceFrame* SurfaceFrame2;
    // Envelope
    QRadioButton* MoveCheck;
    QRadioButton* DrawFace;
    TGalleryBox* ScrollBox2;
    TPaintBox* VFormPaint;
    // 3D edge
    QTabWidget* PageControl4;
    TGalleryBox* ScrollBox3;
    TPaintBox* KantePaint;
    // Shadow
    QTabWidget* PageControl5;
    TGalleryBox* ScrollBox4;
    TPaintBox* SchattenPaint;
    TShape* SColorShape;
    QPushButton* SColorBtn;
    // Frame
    TGalleryBox* ScrollBox5;
    TPaintBox* RahmenPaint;
    SpinEdit* RHochEd;
    QPushButton* RColorBtn;
};

}  // namespace gw
