#include "app/LanguageSetting.h"

#include <QSettings>
#include <QString>

namespace gw {

namespace {

const QString kKey = QStringLiteral("language");

}  // namespace

LanguageChoice StoredLanguageChoice() {
    const QString stored = QSettings().value(kKey).toString();
    if (stored == QLatin1String("de")) return LanguageChoice::German;
    if (stored == QLatin1String("en")) return LanguageChoice::English;
    return LanguageChoice::System;
}

void StoreLanguageChoice(LanguageChoice choice) {
    QSettings settings;
    if (choice == LanguageChoice::System)
        settings.remove(kKey);
    else
        settings.setValue(
            kKey, choice == LanguageChoice::German ? QStringLiteral("de") : QStringLiteral("en"));
}

catalogue::Language WindowLanguage() {
    switch (StoredLanguageChoice()) {
        case LanguageChoice::German:
            return catalogue::Language::German;
        case LanguageChoice::English:
            return catalogue::Language::English;
        case LanguageChoice::System:
            break;
    }
    return catalogue::LanguageFromEnvironment();
}

}  // namespace gw
