#pragma once
// TMainForm: the main window, a view of one editing session. Every control turns its event into
// a command of the session (EditingSession.h); the session changes the lettering, records the
// undo step and tells the window what changed and whether to render now, to restart the
// one-second countdown, to repaint the editing view, or to do nothing. The window writes its
// controls from the lettering when the program changed it (undo, presets, documents); the
// controls' handlers make no commands meanwhile. The renderer reads the model when it runs.
//
// Controls, handlers and the pipeline's state are the window's own: each area of the window
// (layout, controls, renders, views, galleries, document commands, picture commands, desktop
// habits) keeps its state in a struct of its own file, and the areas reach each other through
// the methods below. The layout names every control; an area looks up the controls it works
// with by those names. From outside, the controls are found the same way and driven with
// events; the render schedule (Timer1) is the child "RenderSchedule", a gallery's choice is its
// box's, an image button's pressed state the property "pressed" of its normal picture.

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "document/Lettering.h"
#include "editing/EditingSession.h"
#include "platform/Catalogue.h"
#include "platform/System.h"
#include "render/Pipeline.h"

namespace gw {
// The help page in the data folder; the catalogue names the page of another language.
inline constexpr char kHelpFileName[] = N_("zarbox.html");
}  // namespace gw

class QImage;
class QPrinter;

namespace gw {

class TEnvelopeEditor;
class TViewNavigator;
struct BuiltinTextures;
struct SettingInfo;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The lettering this window shows, the session that edits it, and the images of the last
    // render.
    const Lettering& lettering() const;
    EditingSession& session();
    const RenderImages& images() const;

    // Completed renders since the window was made.
    int renderCount() const;
    QString currentFileName() const;
    // The envelope editor's state (drag kind, strokes, whether its tab is active).
    const TEnvelopeEditor& envelopeEditor() const;

    // Document commands without their dialogs and questions.
    void SaveFile(const QString& fileName);
    void OpenFile(const QString& fileName);
    // The help file, the data folder's "zarbox.html" unless set otherwise.
    void SetHelpFile(const QString& fileName);
    // The window opens where it was last closed, kept on the screens there are now, and
    // remembers its place when it closes again. Without this call it opens centred.
    void RememberPlacement();

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
    // The areas' state, each defined in its own file.
    struct Shell;            // MainFUnit.cpp: the session, life cycle, help, picture buttons
    struct Controls;         // MainFWiring.cpp: the controls of the settings
    struct Renders;          // MainFRender.cpp: the schedule, the renders, the status bar
    struct Views;            // MainFViews.cpp: the editing and result views, zoom
    struct Galleries;        // MainFGalleries.cpp: presets and their live thumbnails
    struct Documents;        // MainFDocument.cpp: Neu, Öffnen, Speichern, size, undo
    struct PictureCommands;  // MainFPicture.cpp: export, print, copy
    struct Habits;           // MainFDesktop.cpp: keys, Alt letters, caption, recent, drops
    struct AreaDeleter {
        void operator()(Shell* area) const;
        void operator()(Controls* area) const;
        void operator()(Renders* area) const;
        void operator()(Views* area) const;
        void operator()(Galleries* area) const;
        void operator()(Documents* area) const;
        void operator()(PictureCommands* area) const;
        void operator()(Habits* area) const;
    };
    template <class Area>
    using Owned = std::unique_ptr<Area, AreaDeleter>;
    Owned<Shell> shell_;
    Owned<Controls> controls_;
    Owned<Renders> renders_;
    Owned<Views> views_;
    Owned<Galleries> galleries_;
    Owned<Documents> documents_;
    Owned<PictureCommands> pictureCommands_;
    Owned<Habits> habits_;

    // Life cycle and shell.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    bool FormCloseQuery();
    const Lettering& L() const;
    const BuiltinTextures& builtinTextures() const;
    void ConnectShell();
    void ueberbtnClick();
    void EndeBtnClick();
    void wwwBtnClick();
    void HelpContents();
    // The image buttons of the bottom bar: while the mouse is held, Panel8 holds the mouse so
    // the pair of pictures follows it. True when the event was the pair's.
    bool PictureButtonEvent(QObject* watched, QEvent* event);

    // Window layout: every control made and named; none kept.
    void BuildLayout();

    // The controls of the settings: each control's event to its command, the controls written
    // from the model (their handlers make no commands meanwhile).
    void ConnectControls();
    void ConnectSettings();
    void StartControls();
    void ShowTextures();
    bool WritingControls() const;
    void WriteControls();
    void WriteSettingControls();
    void SettingChanged(const SettingInfo& info, double value);
    void ShowLetteringFont();
    void FillFontList();
    void Memo1Change();
    void FontListChange(int index);
    void SurfaceKindChanged(int surface, int kind, bool classChanged);
    // Surfaces: installs a copy of built-in texture `index` for the letters (surface 1) or the
    // background (surface 2).
    void SetTexture(int surface, int index);
    void TextureFrame1DIBPaintBoxPaint();
    void FitTexturePreviews();

    // The session: a command from a control (none while the program writes the controls), and
    // what the window does on the session's notices.
    void Run(Command command);
    void SessionNotified(const SessionNotice& notice);
    // The pipeline, its schedule and the status bar's word about it.
    void SetUpRenders();
    void StartRenders();
    bool RenderNow();
    void RenderAgain();
    void RenderFirstTime();
    bool FirstRenderDone() const;
    void ForgetFirstRender();
    void AfterEachRender(std::function<void()> act);
    void FreeRenders();
    // Big pictures: rendered on a worker while the window goes on; Esc drops the render.
    bool RenderBeside();
    void BackgroundRenderEnded(bool ok);
    void ShowRendering(bool running);
    // A change whose picture cannot be had for want of memory is taken back whole, and the
    // user hears of it after that: false then. `atOnce` awaits the picture however big and
    // settles the change at once (an opened document); otherwise the caller settles it.
    bool ChangeTakenWhole(const std::function<void()>& change, bool atOnce);
    // A size change whose picture renders beside the window: taken back when memory runs out
    // in the render; SettleSize keeps it.
    void KeepSizeWhenRendered();
    void SettleSize();
    // While the picture does not show the settings (a render cancelled), the status bar says
    // so; export, print and copy draw the settings first. False when the user cancelled that.
    void ShowPictureState();
    bool DrawCurrentPicture();
    bool TakePictureSize(bool newPicture);

    // The editing view, the result view and the zoom of both.
    void ConnectViews();
    void StartViews();
    void StopViews();
    bool ViewEvent(QObject* watched, QEvent* event);
    void PaintBox1Paint();
    // Draws the lines, handles and rubber band over the part of the view a paint shows.
    void PaintBox1Overlay(Canvas& canvas, TPoint origin);
    // The Repaint reaction: none just after a hull was drawn, as the render that follows paints.
    void RepaintEditView();
    void ResizePaintBox();
    void FitScrollContent();
    // The scroll area's client size with the scroll bars the view needs.
    QSize ScrollClientSize() const;
    void PageControl1Change();
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(int x, int y);
    // The views follow the lettering's picture size: at once while the controls are written,
    // or inside the taking of a new picture (SetViewPictureSize, then ViewOutdated).
    void FollowPictureSize();
    void SetViewPictureSize();
    void ViewOutdated();
    void ViewSizeTaken();
    // Both views show a new picture.
    void PicturesChanged();
    void FitResultView();
    void ErgPaintBoxPaint();
    bool ResultPageShown() const;
    // Zoom: the commands act on the view of the page in front.
    void ConnectZoom();
    TViewNavigator* ShownZoom() const;
    void ShowZoom();

    // Galleries.
    void ConnectGalleries();
    void VFormPaintMouseDown(int x, int y);
    void KantePaintMouseDown(int x, int y);
    void SchattenPaintMouseDown(int x, int y);
    void RahmenPaintMouseDown(int x, int y);
    void RepaintFrameGallery();
    // The edge, shadow and frame galleries' pictures of the lettering, remade after a render
    // while one of them is in view (or when one comes into view after a render).
    void ConnectLiveThumbnails();
    void RefreshThumbnails();

    // Document commands, the picture size, undo and redo; typing (text box, spin fields) keeps
    // its step open until the countdown renders.
    void ConnectDocuments();
    void NewBtnClick();
    void SpeedButton2Click();
    void SaveBtnClick();
    void SaveAsBtnClick();
    void ResizeBtnClick();
    void UndoBtnClick();
    void RedoBtnClick();
    void UpdateUndoButtons();

    // Result page.
    void ConnectPictureCommands();
    void ExportBtnClick();
    void PrintBtnClick();
    void PreviewBtnClick();
    // Puts the picture on the printer's page at its resolution, rendered smooth at the scale the
    // printer's resolution asks for; a render of the same scale in `cache` is taken from there.
    // False when the user cancelled the render or it failed (and was reported).
    bool PaintPrint(QPrinter& printer, QImage& cache);
    void Kopieren1Click();

    // Desktop habits: keys, the Alt letters two captions share, tool tips with their keys.
    void ConnectDesktopHabits();
    void ConnectKeys();
    // A mnemonic two buttons of the current page share runs the page's command (or the tool
    // bar's) at the first press instead of only moving the focus.
    bool RunSharedMnemonic(QObject* receiver, QEvent* event);
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
};

}  // namespace gw
