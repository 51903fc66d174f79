// The window without the memory a command needs: the command is taken back whole, the user is
// told once, in German, and the window goes on working.

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

#include "../MessageRecorder.h"
#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "document/LetteringFile.h"
#include "platform/AllocationLimit.h"
#include "raster/DibService.h"
#include "ui/PaintBox.h"
#include "ui/ResizeFUnit.h"
#include "ui/SpinEdit.h"

using namespace gw;

class MemoryFailureWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void aSizeWithoutMemoryIsTakenBack();
    void aDocumentWithoutMemoryIsNotTakenOver();
    void aRenderOrCopyWithoutMemoryIsToldOnce();
    void aTextTooLongIsRefused();

  private:
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<MessageRecorder> recorder;

    // Everything the user could see change: size, lines, picture, text, caption.
    struct Seen {
        int width, height;
        QSize view;
        TPoint upper, lower;
        std::vector<std::uint8_t> picture;
        QString text, caption;
        bool operator==(const Seen&) const = default;
    };
    Seen Look() const {
        const DibImage& p = form->images().Picture;
        return {form->lettering().width,
                form->lettering().height,
                Find<TPaintBox>(*form, "PaintBox1")->size(),
                form->lettering().EnvelopeLines[0].GetPoint(1),
                form->lettering().EnvelopeLines[1].GetPoint(1),
                p.Empty() ? std::vector<std::uint8_t>()
                          : std::vector<std::uint8_t>(p.Bits.get(), p.Bits.get() + DibImageSize(p)),
                Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(),
                form->windowTitle()};
    }
    int MemoryMessages() const {
        int n = 0;
        for (const auto& m : recorder->messages)
            n += m.text == "Fehler: nicht genug Speicher für diese Operation!";
        return n;
    }
    void Resize(int width, int height) {
        QTimer::singleShot(0, form.get(), [this, width, height] {
            Find<TResizeForm>(*form, "ResizeForm")->SverhCheck->setChecked(false);
            Find<TResizeForm>(*form, "ResizeForm")->BreitEdit->setValue(width);
            Find<TResizeForm>(*form, "ResizeForm")->HochEdit->setValue(height);
            Find<TResizeForm>(*form, "ResizeForm")->accept();
        });
        Find<QToolButton>(*form, "OpenBtn")->click();
    }
};

void MemoryFailureWindowTest::init() {
    recorder = std::make_unique<MessageRecorder>();
    form = std::make_unique<TMainForm>();
    Paint(*form, "PaintBox1");
}

void MemoryFailureWindowTest::cleanup() {
    SetAllocationLimit({});
    form.reset();
    recorder.reset();
}

void MemoryFailureWindowTest::aSizeWithoutMemoryIsTakenBack() {
    const Seen before = Look();
    // Room for pictures of the present size, not for one of 9999 x 9999.
    SetAllocationLimit({64 << 20, 0});
    Resize(9999, 9999);
    QCOMPARE(MemoryMessages(), 1);
    QVERIFY(Look() == before);
    SetAllocationLimit({});
    Resize(900, 400);
    QCOMPARE(form->lettering().width, 900);
    QCOMPARE(DibWidth(form->images().Picture), 900);
    QCOMPARE(MemoryMessages(), 1);
}

void MemoryFailureWindowTest::aDocumentWithoutMemoryIsNotTakenOver() {
    QTemporaryDir folder;
    const QString big = folder.filePath(QStringLiteral("gross.zgw"));
    Lettering lettering;
    InitStartState(lettering);
    lettering.width = lettering.height = 9999;
    lettering.settings.Memo1 = {"GROSS"};
    QVERIFY(SaveLetteringFile(lettering, big.toStdString()).ok);
    const Seen before = Look();
    // The limit bites at the picture, after the document itself was read: the same for every
    // first block of the picture and for one later in the render (the 4th block: the letters'
    // drawing bitmap, drawn on the window's thread).
    for (const AllocationLimit limit : {AllocationLimit{64 << 20, 0}, AllocationLimit{0, 4}}) {
        recorder->messages.clear();
        SetAllocationLimit(limit);
        form->OpenFile(big);
        QCOMPARE(MemoryMessages(), 1);
        QVERIFY(Look() == before);
    }
    SetAllocationLimit({});
    lettering.width = lettering.height = 500;
    QVERIFY(SaveLetteringFile(lettering, big.toStdString()).ok);
    form->OpenFile(big);
    QCOMPARE(form->lettering().width, 500);
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), QStringLiteral("GROSS"));
}

void MemoryFailureWindowTest::aRenderOrCopyWithoutMemoryIsToldOnce() {
    QGuiApplication::clipboard()->clear();
    SetAllocationLimit({0, 1});
    Schedule(*form)->SettingsUpdated();
    SetAllocationLimit({0, 1});
    Find<QPushButton>(*form, "CopyButton")->click();
    QCOMPARE(MemoryMessages(), 2);
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
    SetAllocationLimit({});
    const int renders = form->renderCount();
    Schedule(*form)->SettingsUpdated();
    Find<QPushButton>(*form, "CopyButton")->click();
    QCOMPARE(form->renderCount(), renders + 1);
    QCOMPARE(QGuiApplication::clipboard()->image().width(), 450);
    QCOMPARE(MemoryMessages(), 2);
}

void MemoryFailureWindowTest::aTextTooLongIsRefused() {
    const QString before = Find<QPlainTextEdit>(*form, "Memo1")->toPlainText();
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QString((1 << 20) + 1, QLatin1Char('a')));
    QCOMPARE(Find<QPlainTextEdit>(*form, "Memo1")->toPlainText(), before);
    QCOMPARE(recorder->messages.size(), std::size_t(1));
    QCOMPARE(recorder->messages[0].text,
             std::string("Der Text ist zu lang: ein Schriftzug fasst höchstens 1 MiB Text."));
    Find<QPlainTextEdit>(*form, "Memo1")->setPlainText(QStringLiteral("Kurz"));
    QCOMPARE(form->lettering().settings.Memo1, std::vector<std::string>{"Kurz"});
}

QTEST_MAIN(MemoryFailureWindowTest)
#include "MemoryFailureWindowTest.moc"
