// Zarbo Glyphwerk: the window program.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "Version.h"
#include "app/LanguageSetting.h"
#include "app/MainFUnit.h"
#include "app/MemoryGuard.h"
#include "app/MessageBoxes.h"
#include "app/StartDocument.h"
#include "document/BuiltinTextures.h"
#include "platform/Catalogue.h"
#include "platform/FileAccess.h"
#include "platform/System.h"
#include "platform/TextLayout.h"
#include "render/LargeBuffers.h"

namespace {

constexpr char kHelpText[] = N_(R"(Aufruf: glyphwerk [OPTIONEN] [--] [SCHRIFTZUG.zgw]

Zarbo Glyphwerk: Schriftzüge mit Oberflächen, Hüllformen, 3D-Kanten, Schatten und
Rahmen als Rasterbilder gestalten und als .zgw-Datei speichern. Eine angegebene
Schriftzug-Datei wird beim Start geöffnet.

  -h, --help     diese Hilfe
  --version      die Versionsnummer ausgeben

Die übrigen Optionen sind die von Qt, z. B. -platform NAME.
Ohne Fenster zeichnet glyphwerk-render Schriftzüge (glyphwerk-render --help).
)");

// Answered before the window system is asked for, so they work without a display.
bool AnswerInformationOptions(int argc, char* argv[]) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(gw::catalogue::Tr(kHelpText), stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("glyphwerk %s\n", gw::kVersion);
            return true;
        }
    }
    return false;
}

// The data files that are not in the data folder, as the message names them.
std::string MissingDataFiles() {
    const std::string folder = gw::DataFolder();
    std::error_code ec;
    std::string missing;
    const auto need = [&missing](bool there, const char* what) {
        if (!there) missing += (missing.empty() ? "" : ", ") + std::string(gw::catalogue::Tr(what));
    };
    need(gw::HasTextureFiles(folder), N_("die mitgelieferten Texturen (tex*.gif)"));
    need(std::filesystem::exists(folder + "glyphwerk-fonts.conf", ec),
         N_("die Schriftregel (glyphwerk-fonts.conf)"));
    need(std::filesystem::exists(folder + gw::kHelpFileName, ec), N_("die Hilfe (zarbox.html)"));
    return missing;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Zarbo Glyphwerk"));
    // The settings (recent documents, the file dialogs' folders, the language) live under this
    // name.
    QApplication::setOrganizationName(QStringLiteral("Zarbo"));
    const gw::catalogue::Language language = gw::WindowLanguage();
    gw::catalogue::UseLanguage(language);
    if (AnswerInformationOptions(argc, argv)) return 0;
    gw::GuardedApplication application(argc, argv);
    // The application set the C library's locale from the environment: the language's again.
    gw::catalogue::UseLanguage(language);
    gw::CleanUpOnSignals();
    // The installed menu entry and icon carry this name; the desktop matches windows to them.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zarbo.Glyphwerk"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("de.zarbo.Glyphwerk")));
    // Numbers follow the language (a decimal comma in German, a point in English), and Qt's own
    // dialogs (files, colours, printing) speak it like the rest of the program: Qt's texts are
    // English, so only German needs its translation.
    const bool german = language == gw::catalogue::Language::German;
    const QLocale locale = german ? QLocale(QLocale::German, QLocale::Germany)
                                  : QLocale(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(locale);
    QTranslator qtTexts;
    if (german && qtTexts.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    gw::LoadFontConfigFile(gw::DataFolder() + "glyphwerk-fonts.conf");
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        gw::SetDesktopColorDepth(screen->depth());
    gw::InstallQtMessageBoxes();
    // Without its data the program still starts, with grey textures and without help, but it
    // first says where it looked, so a broken installation is found at once.
    if (const std::string missing = MissingDataFiles(); !missing.empty())
        gw::ShowMessageBox(gw::MissingDataMessage(missing), gw::catalogue::Tr("Fehler"),
                           gw::MsgIcon::Warning);
    // Every change renders the whole lettering again with images of the same sizes.
    gw::KeepRenderMemory();

    gw::TMainForm form;
    form.RememberPlacement();
    form.show();
    gw::OpenStartDocument(form, QApplication::arguments());
    return QApplication::exec();
}
