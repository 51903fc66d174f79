// Drag and drop: a document dropped on the window opens after Öffnen's question; an image dropped
// on a surface picker's preview becomes that surface's own texture, undoably.

#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "FormAccess.h"
#include "platform/System.h"
#include "raster/DibService.h"
#include "ui/TextureFrUnit.h"

using namespace gw;

namespace {

// Drags the file onto the widget and drops it there: whether the widget took the drag.
bool DropFile(QWidget* widget, const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

}  // namespace

class DropTest : public QObject {
    Q_OBJECT

  private slots:
    void droppedFilesOpenOrBecomeTextures();
};

void DropTest::droppedFilesOpenOrBecomeTextures() {
    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("Gezogen.zgw"));
    const QString image = folder.filePath(QStringLiteral("Muster.png"));
    QImage pattern(37, 23, QImage::Format_RGB32);
    pattern.fill(Qt::darkGreen);
    QVERIFY(pattern.save(image));
    std::vector<std::string> questions;
    MsgResult answer = MsgResult::Cancel;
    const MessageBoxHandler previous =
        SetMessageBoxHandler([&](std::string_view, std::string_view caption, MsgIcon, MsgButtons) {
            questions.emplace_back(caption);
            return answer;
        });
    TMainForm form;
    Find<SpinEdit>(form, "KWinkEd")->setValue(33);
    form.SaveFile(document);
    Find<SpinEdit>(form, "KWinkEd")->setValue(44);

    QVERIFY(!DropFile(&form, image));  // an image is no document
    QVERIFY(DropFile(&form, document));
    QCOMPARE(questions, std::vector<std::string>{"Datei/Öffnen"});
    QCOMPARE(form.lettering().settings.KWinkEd, 44.0);
    answer = MsgResult::Discard;
    QVERIFY(DropFile(&form, document));
    QCOMPARE(form.lettering().settings.KWinkEd, 33.0);

    auto* frame = Find<TSurfaceFrame>(form, "SurfaceFrame2");
    const int before = DibWidth(form.lettering().BackgroundTexture);
    QVERIFY(DropFile(frame->TextureFrame1->ScrollBox1->viewport(), image));
    QCOMPARE(DibWidth(form.lettering().BackgroundTexture), 37);
    QCOMPARE(DibHeight(form.lettering().BackgroundTexture), 23);
    PressShortcut(form, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(DibWidth(form.lettering().BackgroundTexture), before);
    SetMessageBoxHandler(previous);
}

QTEST_MAIN(DropTest)
#include "DropTest.moc"
