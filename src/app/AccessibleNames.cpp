#include "app/AccessibleNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

#include "platform/Catalogue.h"
#include "ui/Accessible.h"
#include "ui/Shape.h"
#include "ui/Tr.h"

namespace gw {

namespace {

// A control by its name; "Parent/Child" where the pickers repeat a name.
struct Row {
    const char* path;
    const char* name;         // null: the caption or the label's text is the name
    const char* description;  // null: none, or the tool tip
};

const Row kRows[] = {
    {"PageControl3", N_("Seiten"), nullptr},
    {"PageControl1", N_("Einstellungen"), nullptr},
    {"PageControl2", N_("Oberfläche"), nullptr},
    {"PageControl4", N_("3D-Kante"), nullptr},
    {"PageControl5", N_("Schatten"), nullptr},
    {"Memo1", N_("Text"), N_("Der Text des Schriftzugs; jede Zeile wird eine Zeile im Bild")},
    {"FettBtn", N_("Fett"), nullptr},
    {"KursivBtn", N_("Kursiv"), nullptr},
    {"PaintBox1", N_("Bearbeitungsansicht"),
     N_("Das Bild mit den Begrenzungslinien. Bei „Punkte bearbeiten“ wählt Tab einen Punkt, "
        "die Pfeiltasten verschieben ihn (mit Umschalt um 10 Pixel).")},
    {"ScrollBox1", N_("Bearbeitungsansicht"), nullptr},
    {"ErgPaintBox", N_("Ergebnis"), N_("Das fertige Bild; mit der Maus verschieben")},
    {"ErgScrollBox", N_("Ergebnis"), nullptr},
    {"VFormPaint", N_("Hüllformen"), nullptr},
    {"KantePaint", N_("Vorgegebene Kanten"), nullptr},
    {"SchattenPaint", N_("Vorgegebene Schatten"), nullptr},
    {"RahmenPaint", N_("Rahmen"), nullptr},
    {"SurfaceFrame1/Tex0Paint", N_("Texturen der Buchstaben"), nullptr},
    {"SurfaceFrame2/Tex0Paint", N_("Texturen des Hintergrunds"), nullptr},
    {"SurfaceFrame1/DIBPaintBox", N_("Eigene Textur der Buchstaben"), nullptr},
    {"SurfaceFrame2/DIBPaintBox", N_("Eigene Textur des Hintergrunds"), nullptr},
    {"SurfaceFrame1/TextureFrame1/ScrollBox1", N_("Eigene Textur der Buchstaben"), nullptr},
    {"SurfaceFrame2/TextureFrame1/ScrollBox1", N_("Eigene Textur des Hintergrunds"), nullptr},
    {"SurfaceFrame1/ColorBtn", nullptr, N_("Die Farbe der Buchstaben festlegen")},
    {"SurfaceFrame2/ColorBtn", nullptr, N_("Die Farbe des Hintergrunds festlegen")},
    {"SColorBtn", nullptr, N_("Die Farbe des Schattens festlegen")},
    {"RColorBtn", nullptr, N_("Die Farbe des Rahmens festlegen")},
    {"Profil1Box", nullptr, N_("1.Teil der Kante")},
    {"Profil2Box", nullptr, N_("2.Teil der Kante")},
    {"ueberbtn", N_("Info"), nullptr},
    {"ueberBtn2", N_("Info"), nullptr},
    {"EndeBtn", N_("Ende"), nullptr},
    {"EndeBtnDown", N_("Ende"), nullptr},
    {"ZoomInBtn", N_("Vergrößern"), nullptr},
    {"ZoomOutBtn", N_("Verkleinern"), nullptr},
    {"ErgZoomInBtn", N_("Vergrößern"), nullptr},
    {"ErgZoomOutBtn", N_("Verkleinern"), nullptr},
};

// The swatches say what they are and the colour they hold.
struct Swatch {
    const char* path;
    const char* pattern;
};

const Swatch kSwatches[] = {
    {"SurfaceFrame1/ColorShape", N_("Buchstabenfarbe: %1")},
    {"SurfaceFrame2/ColorShape", N_("Hintergrundfarbe: %1")},
    {"SColorShape", N_("Schattenfarbe: %1")},
    {"RColorShape", N_("Rahmenfarbe: %1")},
};

QWidget* Find(QWidget& window, const char* path) {
    QWidget* found = &window;
    for (const QString& name : QString::fromLatin1(path).split(QLatin1Char('/'))) {
        found = found->findChild<QWidget*>(name);
        if (!found) {
            // A row for a control the layout no longer makes: the accessibility test names
            // whatever goes unnamed, so this is a note, not a failure.
            qWarning("No control %s to name.", path);
            return nullptr;
        }
    }
    return found;
}

}  // namespace

void NameControls(QWidget& window) {
    InstallAccessibility();
    for (const Row& row : kRows) {
        QWidget* control = Find(window, row.path);
        if (!control) continue;
        if (row.name) control->setAccessibleName(QTr(row.name));
        if (row.description) control->setAccessibleDescription(QTr(row.description));
    }
    // A list's drop-down is a list of its own: it takes the name of the list's label.
    for (QComboBox* list : window.findChildren<QComboBox*>()) {
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (label->buddy() != list) continue;
            QString name = label->text().remove(QLatin1Char('&'));
            if (name.endsWith(QLatin1Char(':'))) name.chop(1);
            list->view()->setAccessibleName(name);
        }
    }
    for (const Swatch& swatch : kSwatches)
        if (auto* shape = qobject_cast<TShape*>(Find(window, swatch.path)))
            shape->setDescribedAs(swatch.pattern);
}

}  // namespace gw
