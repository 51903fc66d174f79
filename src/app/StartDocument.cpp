#include "app/StartDocument.h"

#include <QFileInfo>
#include <QTimer>

#include "app/MainFUnit.h"

namespace gw {

QString StartDocument(const QStringList& arguments) {
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            return argument;
        }
    }
    return {};
}

void OpenStartDocument(TMainForm& form, const QStringList& arguments) {
    const QString document = StartDocument(arguments);
    if (document.isEmpty()) return;
    // Kept with its whole path: saving later must not depend on the folder the program ran in.
    const QString path = QFileInfo(document).absoluteFilePath();
    QTimer::singleShot(0, &form, [&form, path] { form.OpenFile(path); });
}

}  // namespace gw
