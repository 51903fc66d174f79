// The Info and Ende picture buttons (left button only, Tab and Space, a visible focus), the tool
// bar's hints kept out of the status bar, readable fixed-colour panels in a dark scheme, and
// sharp pictures on a screen of two pixels per point.

#include <QLabel>
#include <QTest>

#include "FormAccess.h"
#include "app/AboutBoxUnit.h"
#include "app/Pictures.h"
#include "platform/System.h"

using namespace gw;

class PictureButtonsTest : public QObject {
    Q_OBJECT

  private slots:
    void onlyTheLeftButtonOrTheKeysPressThem();
    void fixedColourPanelsStayReadableInADarkScheme();
    void picturesAreDrawnAtTheScreensScale();
};

void PictureButtonsTest::onlyTheLeftButtonOrTheKeysPressThem() {
    std::vector<std::string> questions;
    const MessageBoxHandler previous =
        SetMessageBoxHandler([&](std::string_view, std::string_view caption, MsgIcon, MsgButtons) {
            questions.emplace_back(caption);
            return MsgResult::Cancel;
        });
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Find<QCheckBox>(form, "KanteCheck")->click();  // so that Ende asks
    auto* end = Find<TImage>(form, "EndeBtn");
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(end, button, {}, QPoint(50, 15));
        QTest::mouseRelease(end, button, {}, QPoint(50, 15));
        QVERIFY(!end->property("pressed").toBool());
    }
    QVERIFY(questions.empty());

    for (const char* name : {"ueberbtn", "EndeBtn"})
        QVERIFY2(Find<TImage>(form, name)->focusPolicy() & Qt::TabFocus, name);
    const QImage unfocused = end->grab().toImage();
    end->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(end->hasFocus());
    QVERIFY(end->grab().toImage() != unfocused);
    QTest::keyClick(end, Qt::Key_Space);
    QCOMPARE(questions, std::vector<std::string>{"Beenden"});

    for (QToolButton* button : Find<QWidget>(form, "Panel25")->findChildren<QToolButton*>())
        QVERIFY2(button->statusTip().isEmpty(), qPrintable(button->objectName()));
    SetMessageBoxHandler(previous);
}

void PictureButtonsTest::fixedColourPanelsStayReadableInADarkScheme() {
    QPalette dark;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, QColor(0x30, 0x30, 0x30));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
    const QPalette light = QApplication::palette();
    QApplication::setPalette(dark);
    const auto readable = [](QLabel* label, QColor background) {
        label->ensurePolished();
        const QColor text = label->palette().color(label->foregroundRole());
        return std::abs(qGray(text.rgb()) - qGray(background.rgb())) > 100;
    };
    {
        TMainForm form;
        for (const char* panel : {"Panel6", "Panel16"}) {
            const QWidget* widget = Find<QWidget>(form, panel);
            const QColor background = widget->palette().color(QPalette::Window);
            for (QLabel* label : widget->findChildren<QLabel*>())
                QVERIFY2(readable(label, background), panel);
        }
        TAboutBox box;
        for (QLabel* label : Find<QWidget>(box, "Panel1")->findChildren<QLabel*>())
            QVERIFY2(readable(label, QColor(0xF0, 0xCA, 0xA6)), qPrintable(label->objectName()));
    }
    QApplication::setPalette(light);
}

void PictureButtonsTest::picturesAreDrawnAtTheScreensScale() {
    for (const char* file : {"about.png", "about-down.png", "end.png", "end-down.png"}) {
        // One pixel per point: the stored picture itself.
        QCOMPARE(PictureButton(file, 1.0).toImage(), LayoutPicture(file).toImage());
        // Two: drawn at twice the pixels, the same size in points, the caption on its face.
        const QImage drawn = PictureButton(file, 2.0).toImage();
        QCOMPARE(drawn.size(), QSize(202, 60));
        QCOMPARE(drawn.deviceIndependentSize(), QSizeF(101, 30));
        int steepest = 0;
        for (int y = 10; y < 50; ++y)
            for (int x = 1; x < drawn.width(); ++x)
                steepest = std::max(
                    steepest, std::abs(qGray(drawn.pixel(x, y)) - qGray(drawn.pixel(x - 1, y))));
        QVERIFY2(steepest > 120, file);
    }
}

QTEST_MAIN(PictureButtonsTest)
#include "PictureButtonsTest.moc"
