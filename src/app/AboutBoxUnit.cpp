#include "app/AboutBoxUnit.h"

#include <QDate>
#include <QDesktopServices>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/MainFUnit.h"
#include "app/Pictures.h"
#include "ui/Image.h"
#include "ui/QtBridge.h"

namespace gw {

QString InsertYear(const QString& text, int year) {
    QString result = text;
    const qsizetype at = result.indexOf(QStringLiteral("XXXX"));
    if (at < 0) return result;
    result.remove(at, 4);
    result.insert(at, QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')));
    return result;
}

namespace {

QLabel* MakeLabel(const QString& text, QWidget* parent, const char* name, int x, int y, int w,
                  int h) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, w, h);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(664, 453);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 648, 384);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, ToQColor(0xA6CAF0));
    Panel1->setPalette(palette);
    Panel1->setStyleSheet(QStringLiteral("#Panel1 { border: 2px outset #d8d8d8; }"));

    ProgramIcon = new TImage(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(LayoutPicture("program.jpg"));
    ProgramIcon->setStretch(true);
    ProgramIcon->setGeometry(12, 12, 306, 322);

    const int x = 332;
    const int w = 648 - x - 12;
    ProductName = MakeLabel(QStringLiteral("Garantiert ein Original ZEF-LOR Programm"), Panel1,
                            "ProductName", x, 10, w, 64);
    QFont productFont(QStringLiteral("Arial Narrow"));
    productFont.setBold(true);
    productFont.setPixelSize(24);
    ProductName->setFont(productFont);

    Copyright = MakeLabel(
        QStringLiteral("Zarbo Glyphwerk 2.1 – © 1999–XXXX ZEF-LOR. Alle Rechte vorbehalten."),
        Panel1, "Copyright", x, 80, w, 34);
    Comments = MakeLabel(QStringLiteral("Entwickelt und gestaltet von ZEF-LOR.\n"
                                        "Kontakt: ZEF-LOR, Postfach 12 34, 00000 Musterstadt, "
                                        "post@zef-lor.example"),
                         Panel1, "Comments", x, 120, w, 50);
    Label1 = MakeLabel(QStringLiteral("ZEF-LOR – Zeichen, Farben, Lettern."), Panel1, "Label1", x,
                       180, w, 18);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = MakeLabel(QStringLiteral("Wir machen kleine Programme für schöne Schriftzüge."),
                       Panel1, "Label2", x, 198, w, 18);
    Label3 = MakeLabel(
        QStringLiteral("Auf unserer Homepage finden Sie weitere Programme von ZEF-LOR, "
                       "Neuigkeiten zu Zarbo Glyphwerk, Beispiele zum Nachmachen und Antworten "
                       "auf häufige Fragen. Schauen Sie doch einmal vorbei:"),
        Panel1, "Label3", x, 228, w, 90);
    BitBtnXP1 = new QPushButton(QString::fromLatin1(TMainForm::HomePageCaption), Panel1);
    BitBtnXP1->setObjectName(QStringLiteral("BitBtnXP1"));
    BitBtnXP1->setGeometry(x, 330, 220, 30);
    BitBtnXP1->setCursor(Qt::PointingHandCursor);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry((664 - 181) / 2, 404, 181, 37);
    BitBtn1->setDefault(true);

    connect(BitBtnXP1, &QPushButton::clicked, this, [this] { BitBtnXP1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

void TAboutBox::FormCreate() {
    Copyright->setText(InsertYear(Copyright->text(), QDate::currentDate().year()));
}

void TAboutBox::BitBtnXP1Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(TMainForm::HomePage)));
}

}  // namespace gw
