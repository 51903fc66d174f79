#pragma once
// TMainForm: the main window. It is a view of one lettering: every control writes its own field
// of the model when it changes and then asks the reaction table (Reactions.h) whether to render
// now, to restart the one-second countdown, to repaint the editing view, or to do nothing. The
// renderer reads the model when it runs. Program code that changes the model writes the
// controls back from it (WriteControls), and the controls' handlers react as for the user.

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Reactions.h"
#include "document/BuiltinTextures.h"
#include "document/Lettering.h"
#include "render/Pipeline.h"

class QComboBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStatusBar;
class QTabWidget;
class QTextBrowser;
class QTimer;
class QToolButton;

namespace gw {

class SpinEdit;
class TEnvelopeEditor;
class TImage;
class TImageList;
class TLogoForm;
class TPaintBox;
class TResizeForm;
class TShape;
class TSurfaceFrame;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The lettering this window shows and edits, and the images of the last render.
    Lettering& lettering() { return lettering_; }
    const Lettering& lettering() const { return lettering_; }
    RenderImages& images() { return images_; }

    // Completed renders since the window was made.
    int renderCount() const { return renderCount_; }
    const QString& currentFileName() const { return savedFileName_; }

    // Flags of the render pipeline.
    bool SuppressRender = false;
    bool FirstRenderDone = false;
    bool LoadingSettings = false;
    bool EnvelopeTabActive = false;

    // The selection of the galleries, drawn as their highlight only (the frame gallery marks
    // FrameStyle of the settings).
    std::int32_t EnvelopePreset = 0;
    std::int32_t EdgePreset = 0;
    std::int32_t ShadowPreset = 0;

    // The pipeline.
    void SettingsUpdated();
    void Timer1Timer();
    void RestartCountdown();
    void React(Change change, bool eventCondition = true);

    // The editing view.
    void PaintBox1Paint();
    void ResizePaintBox();
    void FitScrollContent();
    // The scroll area's client size with the scroll bars the view needs.
    QSize ScrollClientSize() const;
    void PageControl1Change();
    void MoveCheckClick();
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(int x, int y);
    TEnvelopeEditor& envelopeEditor() { return *editor_; }

    // Galleries.
    void VFormPaintPaint();
    void VFormPaintMouseDown(int x, int y);
    void KantePaintPaint();
    void KantePaintMouseDown(int x, int y);
    void SchattenPaintPaint();
    void SchattenPaintMouseDown(int x, int y);
    void RahmenPaintPaint();
    void RahmenPaintMouseDown(int x, int y);

    // Picture size.
    void ResizeBtnClick();

    // Result page.
    void ExportBtnClick();
    void PrintBtnClick();
    void Kopieren1Click();

    // Document commands.
    void NewBtnClick();
    void SpeedButton2Click();
    void SaveBtnClick();
    void SaveAsBtnClick();
    void Setsavedfilename(const QString& fileName);
    void SaveFile(const QString& fileName);
    void OpenFile(const QString& fileName);

    // Writes every control from the model, in the order "Neu" resets them.
    void WriteControls();
    void WriteEdgeControls();
    void WriteShadowControls();
    void WriteFrameControls();

    // Surfaces: installs a copy of built-in texture `index` for the letters (surface 1) or the
    // background (surface 2).
    void SetTexture(int surface, int index);
    // The family names the font list offers.
    std::vector<std::string> InstalledFonts() const;
    BuiltinTextures& builtinTextures() { return builtinTextures_; }

    // Shell.
    bool FormCloseQuery();
    void ueberbtnClick();
    void EndeBtnClick();
    void wwwBtnClick();
    void HelpContents();
    // The help file, the data folder's "zarbox.html" unless set otherwise.
    void SetHelpFile(const QString& fileName) { helpFile_ = fileName; }
    QTextBrowser* helpWindow() const { return helpWindow_; }

    // The web address of the maker, as the buttons show and open it.
    static const char* const HomePage;
    static const char* const HomePageCaption;

    // Controls, by their names.
    QWidget* Panel25;
    QToolButton* SpeedButton1;
    QToolButton* OpenBtn;
    QToolButton* SpeedButton2;
    QToolButton* SaveBtn;
    QToolButton* SaveAsBtn;
    QTabWidget* PageControl3;
    QWidget* TabSheet1;
    QWidget* Panel6;
    QScrollArea* ScrollBox1;
    TPaintBox* PaintBox1;
    QTabWidget* PageControl1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QWidget* TabSheet7;
    QWidget* TabSheet8;
    QWidget* TabSheet15;
    QWidget* Panel16;
    QWidget* Panel41;
    QWidget* Panel17;
    QPushButton* SaveAsButton;
    QPushButton* PrintButton;
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
    QTimer* Timer1;
    TResizeForm* ResizeForm;

    // Text
    QPlainTextEdit* Memo1;
    QComboBox* FontList;
    QToolButton* FettBtn;
    QToolButton* KursivBtn;
    QComboBox* AusrichtBox;
    // Surfaces
    QTabWidget* PageControl2;
    QWidget* TabSheet9;
    QWidget* TabSheet10;
    TSurfaceFrame* SurfaceFrame1;
    TSurfaceFrame* SurfaceFrame2;
    // Envelope
    QRadioButton* MoveCheck;
    QRadioButton* EdPointsCheck;
    QRadioButton* DrawFace;
    SpinEdit* SpiralEd;
    QScrollArea* ScrollBox2;
    TPaintBox* VFormPaint;
    // Outline deformation
    QRadioButton* NoDeform;
    QRadioButton* SinDeform;
    QRadioButton* RandDeform;
    SpinEdit* StarkEd;
    SpinEdit* AnzahlEd;
    // 3D edge
    QTabWidget* PageControl4;
    QWidget* TabSheet11;
    QWidget* TabSheet12;
    TPaintBox* KantePaint;
    QCheckBox* KanteCheck;
    SpinEdit* KWinkEd;
    SpinEdit* KBreiteEd;
    SpinEdit* KLichtEd;
    QComboBox* Profil1Box;
    QCheckBox* BkGnd1;
    QComboBox* Profil2Box;
    QCheckBox* BkGnd2;
    QCheckBox* Invers1Check;
    QCheckBox* KFixedWCheck;
    QCheckBox* KQualCheck;
    // Shadow
    QTabWidget* PageControl5;
    QWidget* TabSheet13;
    QWidget* TabSheet14;
    TPaintBox* SchattenPaint;
    QCheckBox* SchattenCheck;
    TShape* SColorShape;
    QPushButton* SColorBtn;
    SpinEdit* SDeckEd;
    SpinEdit* SWeichEd;
    QComboBox* SRichtBox;
    SpinEdit* SRightEd;
    SpinEdit* SBottomEd;
    // Frame
    TPaintBox* RahmenPaint;
    QCheckBox* RTextcheck;
    SpinEdit* RBreitEd;
    SpinEdit* RHochEd;
    TShape* RColorShape;
    QPushButton* RColorBtn;

    // Handlers of the controls; each writes its own field of the model.
    void Memo1Change();
    void FontListChange(int index);
    void FettBtnClick();
    void KursivBtnClick();
    void SurfaceKindChanged(int surface, int kind, bool classChanged);
    void SColorBtnClick();
    void RColorBtnClick();
    void ErgPaintBoxPaint();
    void FitResultView();
    void TextureFrame1DIBPaintBoxPaint();
    void FitTexturePreviews();

  signals:
    // A render has finished and the editing view shows its picture.
    void rendered();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormDestroy();

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
    void FillFontList();

    // The image buttons of the bottom bar: the normal picture and the pressed one lie on the
    // same spot; while the mouse is held, Panel8 holds the mouse so the pair follows it.
    struct ImagePair {
        TImage* normal = nullptr;
        TImage* pressed = nullptr;
        bool* flag = nullptr;
    };
    void ImageButtonDown(ImagePair pair);
    void ImageButtonMove(ImagePair pair, int x, int y);
    void ImageButtonUp(ImagePair pair, int x, int y);
    ImagePair AboutPair();
    ImagePair EndPair();
    ImagePair* heldPair_ = nullptr;
    ImagePair heldPairStorage_;

    Lettering lettering_;
    RenderImages images_;
    BuiltinTextures builtinTextures_;
    int renderCount_ = 0;
    QString savedFileName_;
    std::string programFolder_;
    QString helpFile_;
    QTextBrowser* helpWindow_ = nullptr;
    TLogoForm* logoForm_ = nullptr;
    bool shownOnce_ = false;
    bool viewComposed_ = false;
    // Set while the program itself checks MoveCheck after a hull was drawn: the render that
    // follows paints the view.
    bool suppressViewRepaint_ = false;
    // A render that ran out of memory sets renderFailed_; while holdMemoryMessage_ is set, the
    // command that caused the render tells the user itself, after taking its change back.
    bool renderFailed_ = false;
    bool holdMemoryMessage_ = false;
    bool TakePictureSize(bool newPicture);
    std::unique_ptr<TEnvelopeEditor> editor_;
    std::unique_ptr<TImageList> VFormImages;
    std::unique_ptr<TImageList> KanteImages;
    std::unique_ptr<TImageList> SchattenImages;
    std::unique_ptr<TImageList> RahmenImages;

  public:
    bool AboutPressed = false;
    bool EndPressed = false;
};

}  // namespace gw
