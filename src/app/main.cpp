// Zarbo Glyphwerk: the window program.

#include <QApplication>
#include <QScreen>
#include <QStyleFactory>

#include "app/MainFUnit.h"
#include "app/MessageBoxes.h"
#include "platform/System.h"
#include "platform/TextLayout.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarbo Glyphwerk"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    gw::LoadFontConfigFile(gw::DataFolder() + "glyphwerk-fonts.conf");
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        gw::SetDesktopColorDepth(screen->depth());
    gw::InstallQtMessageBoxes();

    gw::TMainForm form;
    form.show();
    return QApplication::exec();
}
