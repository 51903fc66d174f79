#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <span>
#include <string_view>
#include <tuple>

#include "app/LayoutKit.h"
#include "app/Pictures.h"
#include "app/RenderSchedule.h"
#include "document/SettingsTable.h"
#include "raster/DibService.h"
#include "render/Presets.h"
#include "ui/ColorFrUnit.h"
#include "ui/Dialogs.h"
#include "ui/GalleryBox.h"
#include "ui/GalleryCells.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/LiveThumbnails.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"
#include "ui/Tex0FrUnit.h"
#include "ui/TextureFrUnit.h"
#include "ui/ThumbnailGallery.h"
#include "ui/Tr.h"

namespace gw::layout {

void Name(QObject* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
}

void Paint(QWidget* widget, TColor colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    // The colour is light whatever the desktop's scheme: its text stays dark on it, the text
    // of its buttons too (the zoom row of a header), and a button lit under the mouse takes
    // the light colour rather than the scheme's dark one.
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Button, ToQColor(colour));
    widget->setPalette(palette);
}

QWidget* Header(const char* name, const QString& text, QWidget* parent) {
    auto* panel = new QWidget(parent);
    Name(panel, name);
    panel->setFixedHeight(33);
    Paint(panel, kHeaderColour);
    auto* label = new QLabel(text, panel);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(label);
    return panel;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QRadioButton* Radio(const char* name, const QString& text, QWidget* parent) {
    auto* radio = new QRadioButton(text, parent);
    Name(radio, name);
    return radio;
}

QCheckBox* Check(const char* name, const QString& text, QWidget* parent) {
    auto* check = new QCheckBox(text, parent);
    Name(check, name);
    return check;
}

QComboBox* List(const char* name, const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    Name(list, name);
    list->addItems(items);
    return list;
}

TGalleryBox* GalleryBox(const char* scrollName, TPaintBox*& box, const char* boxName,
                        int laidOutHeight, QWidget* parent) {
    auto* gallery = new TGalleryBox(laidOutHeight, parent);
    Name(gallery, scrollName);
    box = gallery->paintBox();
    Name(box, boxName);
    return gallery;
}

QVBoxLayout* Column(QGridLayout* grid, int column) {
    auto* layout = new QVBoxLayout;
    layout->setSpacing(2);
    grid->addLayout(layout, 0, column, Qt::AlignTop);
    return layout;
}

QGridLayout* PageGrid(QWidget* page) {
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 6, 8, 4);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(3);
    return grid;
}

QString KeyName(const QKeySequence& keys) {
    QString name = keys.toString(QKeySequence::PortableText);
    name.replace(QStringLiteral("Ctrl"), QTr("Strg"));
    name.replace(QStringLiteral("Shift"), QTr("Umschalt"));
    return name;
}

QString WithKeys(const QString& hint, const QKeySequence& keys) {
    // A pattern of its own, so a language may set the keys apart in its way.
    return QTr("%1 (%2)").arg(hint, KeyName(keys));
}

}  // namespace gw::layout
