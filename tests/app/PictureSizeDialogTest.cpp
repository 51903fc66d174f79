// "Bildgröße ändern...": the side-ratio rule of the size dialog with its limits, what OK and
// Cancel do to the window, and the pixel measures scaled along with "Effekte mitskalieren".

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <utility>

#include "FormAccess.h"
#include "app/MainFUnit.h"
#include "raster/DibService.h"
#include "ui/PaintBox.h"
#include "ui/ResizeFUnit.h"
#include "ui/SpinEdit.h"

using namespace gw;

class PictureSizeDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void ratioFollowsEitherField();
    void limitsHoldAndThenTheRatioIsNotKept();
    void withoutTheRatioTheFieldsAreFree();
    void okBringsATypedValueIntoRange();
    void okGivesTheNewSizeAndScalesTheLines();
    void okWithoutScalingKeepsTheLines();
    void cancelChangesNothing();
    void effectsScaleWhenAskedAsOneStep();

  private:
    std::unique_ptr<TResizeForm> dialog;
    std::unique_ptr<TMainForm> form;

    void Open(std::int32_t w, std::int32_t h) {
        dialog->SetReference(w, h);
        dialog->BreitEdit->setValue(w);
        dialog->HochEdit->setValue(h);
    }
    // Runs the window's command; `answer` fills in the dialog while it is shown.
    void Resize(const std::function<void(TResizeForm&)>& answer) {
        QTimer::singleShot(0, form.get(),
                           [this, answer] { answer(*Find<TResizeForm>(*form, "ResizeForm")); });
        Find<QToolButton>(*form, "OpenBtn")->click();
    }
};

void PictureSizeDialogTest::init() {
    dialog = std::make_unique<TResizeForm>();
    form = std::make_unique<TMainForm>();
}

void PictureSizeDialogTest::ratioFollowsEitherField() {
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Größe verändern"));
    QCOMPARE(dialog->size(), QSize(306, 236));
    Open(450, 200);
    dialog->BreitEdit->setText(QStringLiteral("900"));
    QCOMPARE(dialog->HochEdit->value(), 400.0);
    dialog->HochEdit->setText(QStringLiteral("100"));
    QCOMPARE(dialog->BreitEdit->value(), 225.0);
    QCOMPARE(dialog->HochEdit->value(), 100.0);
    dialog->BreitEdit->setText(QStringLiteral("451"));  // 200.44, rounded by the field
    QCOMPARE(dialog->HochEdit->value(), 200.0);
}

void PictureSizeDialogTest::limitsHoldAndThenTheRatioIsNotKept() {
    Open(450, 200);
    dialog->BreitEdit->setText(QStringLiteral("9999"));
    QCOMPARE(dialog->HochEdit->value(), 4444.0);
    dialog->HochEdit->setText(QStringLiteral("9999"));
    QCOMPARE(dialog->BreitEdit->value(), 9999.0);  // 22497.75 held at the limit
    QCOMPARE(dialog->HochEdit->value(), 9999.0);
    dialog->BreitEdit->setText(QStringLiteral("11"));
    QCOMPARE(dialog->HochEdit->value(), 10.0);  // 4.9 held at the limit
    QCOMPARE(dialog->NewWidth(), 11);
    QCOMPARE(dialog->NewHeight(), 10);
}

void PictureSizeDialogTest::withoutTheRatioTheFieldsAreFree() {
    Open(450, 200);
    dialog->SverhCheck->setChecked(false);
    dialog->BreitEdit->setText(QStringLiteral("900"));
    QCOMPARE(dialog->HochEdit->value(), 200.0);
    dialog->HochEdit->setText(QStringLiteral("50"));
    QCOMPARE(dialog->BreitEdit->value(), 900.0);
    // Checking the box brings the height in line at once.
    dialog->SverhCheck->click();
    QVERIFY(dialog->SverhCheck->isChecked());
    QCOMPARE(dialog->HochEdit->value(), 400.0);
    QCOMPARE(dialog->BreitEdit->value(), 900.0);
}

void PictureSizeDialogTest::okBringsATypedValueIntoRange() {
    Open(450, 200);
    dialog->BreitEdit->setText(QStringLiteral("20000"));  // not yet brought into range
    QCOMPARE(dialog->HochEdit->value(), 8889.0);
    dialog->accept();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->BreitEdit->value(), 9999.0);
    QCOMPARE(dialog->HochEdit->value(), 4444.0);
    Open(450, 200);
    dialog->SverhCheck->setChecked(false);
    dialog->HochEdit->setText(QStringLiteral("3"));
    dialog->accept();
    QCOMPARE(dialog->NewHeight(), 10);
    QCOMPARE(dialog->NewWidth(), 450);
}

void PictureSizeDialogTest::okGivesTheNewSizeAndScalesTheLines() {
    Paint(*form, "PaintBox1");
    const int renders = form->renderCount();
    QVERIFY(Find<QToolButton>(*form, "OpenBtn")->isEnabled());
    Resize([](TResizeForm& d) {
        QCOMPARE(d.BreitEdit->value(), 450.0);
        QCOMPARE(d.HochEdit->value(), 200.0);
        d.BreitEdit->setText(QStringLiteral("900"));
        d.accept();
    });
    QCOMPARE(form->renderCount(), renders + 1);
    const Lettering& l = form->lettering();
    QCOMPARE(l.width, 900);
    QCOMPARE(l.height, 400);
    QCOMPARE(Find<TPaintBox>(*form, "PaintBox1")->size(), QSize(900, 400));
    QCOMPARE(DibWidth(form->images().Picture), 900);
    QCOMPARE(DibHeight(form->images().Picture), 400);
    QCOMPARE(l.EnvelopeLines[0].GetPoint(0), (TPoint{44, 20}));
    QCOMPARE(l.EnvelopeLines[1].GetPoint(1), (TPoint{856, 380}));
    // The next opening starts from the new size; the check boxes keep their state.
    Resize([](TResizeForm& d) {
        QCOMPARE(d.BreitEdit->value(), 900.0);
        QCOMPARE(d.ReferenceHeight(), 400);
        d.SkalFont->setChecked(false);
        d.reject();
    });
    QVERIFY(!Find<TResizeForm>(*form, "ResizeForm")->SkalFont->isChecked());
}

void PictureSizeDialogTest::okWithoutScalingKeepsTheLines() {
    Paint(*form, "PaintBox1");
    const int renders = form->renderCount();
    Resize([](TResizeForm& d) {
        d.SkalFont->setChecked(false);
        d.accept();  // unchanged values
    });
    QCOMPARE(form->renderCount(), renders + 1);
    QCOMPARE(form->lettering().EnvelopeLines[0].GetPoint(0), (TPoint{22, 10}));
    Resize([](TResizeForm& d) {
        d.SverhCheck->setChecked(false);
        d.BreitEdit->setText(QStringLiteral("300"));
        d.accept();
    });
    QCOMPARE(form->lettering().width, 300);
    QCOMPARE(form->lettering().height, 200);
    QCOMPARE(form->lettering().EnvelopeLines[0].GetPoint(1), (TPoint{428, 10}));
}

void PictureSizeDialogTest::cancelChangesNothing() {
    Paint(*form, "PaintBox1");
    const int renders = form->renderCount();
    const std::uint8_t* pictureBits = form->images().Picture.Row(0);
    Resize([](TResizeForm& d) {
        d.BreitEdit->setText(QStringLiteral("900"));
        d.reject();
    });
    QCOMPARE(form->renderCount(), renders);
    QCOMPARE(form->lettering().width, 450);
    QCOMPARE(Find<TPaintBox>(*form, "PaintBox1")->size(), QSize(450, 200));
    QCOMPARE(form->images().Picture.Row(0), pictureBits);
    QCOMPARE(form->lettering().EnvelopeLines[0].GetPoint(0), (TPoint{22, 10}));
}

void PictureSizeDialogTest::effectsScaleWhenAskedAsOneStep() {
    Paint(*form, "PaintBox1");
    QVERIFY(!Find<TResizeForm>(*form, "ResizeForm")->SkalEffekte->isChecked());
    struct Case {
        int width, height;
        bool effects, lines, fixedEdge;
        double right, bottom, softness, edge;  // after the change
        const char* note;
    };
    // From 450 x 200 with the shadow 10 right, 10 down, softness 12, edge width 60.
    const Case cases[] = {
        {900, 300, true, true, true, 20, 15, 18, 90, ""},
        {1350, 600, true, true, true, 30, 30, 30, 100,
         "An der Grenze gehalten: Kantenbreite 100, Weichheit 30"},
        {1350, 600, true, true, false, 30, 30, 30, 60, "An der Grenze gehalten: Weichheit 30"},
        {225, 100, true, true, true, 5, 5, 6, 30, ""},
        {900, 400, false, true, true, 10, 10, 12, 60, ""},  // the box is off by default
        {900, 400, true, false, true, 10, 10, 12, 60, ""},  // only with the lettering
    };
    const LetteringSettings& s = form->lettering().settings;
    for (const auto& [name, value] :
         {std::pair{"SRightEd", 10}, {"SBottomEd", 10}, {"SWeichEd", 12}, {"KBreiteEd", 60}})
        Find<SpinEdit>(*form, name)->setValue(value);
    QCOMPARE(s.SWeichEd, 12.0);
    for (const Case& c : cases) {
        auto* fixedEdge = Find<QCheckBox>(*form, "KFixedWCheck");
        if (fixedEdge->isChecked() != c.fixedEdge) fixedEdge->click();
        QString note;
        Resize([&](TResizeForm& d) {
            d.SverhCheck->setChecked(false);
            d.SkalFont->setChecked(c.lines);
            d.SkalEffekte->setChecked(c.effects);
            d.BreitEdit->setText(QString::number(c.width));
            d.HochEdit->setText(QString::number(c.height));
            note = d.GrenzLabel->text();
            d.accept();
        });
        QCOMPARE(note, QString::fromUtf8(c.note));
        QCOMPARE(form->lettering().width, c.width);
        QCOMPARE(s.SRightEd, c.right);
        QCOMPARE(s.SBottomEd, c.bottom);
        QCOMPARE(s.SWeichEd, c.softness);
        QCOMPARE(s.KBreiteEd, c.edge);
        QCOMPARE(Find<SpinEdit>(*form, "SWeichEd")->value(), c.softness);
        // Size and measures come back with one step.
        Find<QToolButton>(*form, "UndoBtn")->click();
        QCOMPARE(form->lettering().width, 450);
        QCOMPARE(s.SWeichEd, 12.0);
        QCOMPARE(Find<SpinEdit>(*form, "SRightEd")->value(), 10.0);
    }
}

QTEST_MAIN(PictureSizeDialogTest)
#include "PictureSizeDialogTest.moc"
