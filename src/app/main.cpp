// Zarbo Glyphwerk: the window program.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyleFactory>
#include <QTranslator>

#include "app/MainFUnit.h"
#include "app/MemoryGuard.h"
#include "app/MessageBoxes.h"
#include "platform/FileAccess.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "render/LargeBuffers.h"

int main(int argc, char* argv[]) {
    gw::GuardedApplication application(argc, argv);
    gw::CleanUpOnSignals();
    QApplication::setApplicationName(QStringLiteral("Zarbo Glyphwerk"));
    // Qt's own dialogs (files, colours, printing) speak German like the rest of the program.
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    QTranslator qtTexts;
    if (qtTexts.load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    gw::LoadFontConfigFile(gw::DataFolder() + "glyphwerk-fonts.conf");
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        gw::SetDesktopColorDepth(screen->depth());
    gw::InstallQtMessageBoxes();
    // Every change renders the whole lettering again with images of the same sizes.
    gw::KeepRenderMemory();

    gw::TMainForm form;
    form.show();
    return QApplication::exec();
}
