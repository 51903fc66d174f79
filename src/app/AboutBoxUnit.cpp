#include "app/AboutBoxUnit.h"

#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/LanguageSetting.h"
#include "app/Pictures.h"
#include "document/Lettering.h"
#include "ui/Image.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

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

QLabel* MakeLabel(const QString& text, QWidget* parent, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QTr("Info"));
    setFixedSize(664, 453);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 648, 384);
    const QColor panel = ToQColor(0xA6CAF0);
    // Its texts stay dark on the light panel whatever the desktop's colour scheme.
    Panel1->setStyleSheet(QStringLiteral("#Panel1 { background-color: %1; border: 2px outset %2; }"
                                         " #Panel1 QLabel { color: black; }")
                              .arg(panel.name(), panel.lighter(115).name()));

    auto* ProgramIcon = new TImage(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(LayoutPicture("program.jpg"));
    ProgramIcon->setStretch(true);
    ProgramIcon->setFixedSize(306, 322);

    auto* column = new QWidget(Panel1);
    column->setFixedWidth(648 - 2 * 12 - 306 - 14 - 4);
    QLabel* ProductName =
        MakeLabel(QTr("Garantiert ein Original ZEF-LOR Programm"), column, "ProductName");
    QFont productFont(QStringLiteral("Arial Narrow"));
    productFont.setBold(true);
    productFont.setPixelSize(24);
    ProductName->setFont(productFont);
    QLabel* Copyright = MakeLabel(
        QTr("Zarbo Glyphwerk 2.1 – © XXXX ZEF-LOR. Alle Rechte vorbehalten."), column, "Copyright");
    QLabel* Comments = MakeLabel(QTr("Entwickelt und gestaltet von ZEF-LOR.\n"
                                     "Kontakt: ZEF-LOR, Postfach 12 34, 00000 Musterstadt, "
                                     "post@zef-lor.example"),
                                 column, "Comments");
    QLabel* Label1 = MakeLabel(QTr("ZEF-LOR – Zeichen, Farben, Lettern."), column, "Label1");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    QLabel* Label2 =
        MakeLabel(QTr("Wir machen kleine Programme für schöne Schriftzüge."), column, "Label2");
    QLabel* Label3 =
        MakeLabel(QTr("Auf unserer Homepage finden Sie weitere Programme von ZEF-LOR, "
                      "Neuigkeiten zu Zarbo Glyphwerk, Beispiele zum Nachmachen und Antworten "
                      "auf häufige Fragen. Schauen Sie doch einmal vorbei:"),
                  column, "Label3");
    auto* BitBtnXP1 = new QPushButton(QString::fromLatin1(kHomePageCaption), column);
    BitBtnXP1->setObjectName(QStringLiteral("BitBtnXP1"));
    BitBtnXP1->setFixedSize(220, 30);
    BitBtnXP1->setCursor(Qt::PointingHandCursor);

    auto* texts = new QVBoxLayout(column);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(4);
    texts->addWidget(ProductName);
    texts->addSpacing(4);
    texts->addWidget(Copyright);
    texts->addSpacing(6);
    texts->addWidget(Comments);
    texts->addSpacing(10);
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addSpacing(10);
    texts->addWidget(Label3);
    texts->addStretch(1);
    texts->addWidget(BitBtnXP1);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(12, 12, 12, 12);
    panelLayout->setSpacing(14);
    panelLayout->addWidget(ProgramIcon, 0, Qt::AlignTop);
    panelLayout->addWidget(column);
    panelLayout->addStretch(1);

    auto* BitBtn1 = new QPushButton(QTr("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry((664 - 181) / 2, 404, 181, 37);
    BitBtn1->setDefault(true);

    // The program's language, beside the button: a setting of the whole program, seldom changed,
    // that takes effect at the next start.
    auto* language = new QWidget(this);
    language->setGeometry(8, 404, (664 - 181) / 2 - 16, 37);
    auto* LanguageBox = new QComboBox(language);
    LanguageBox->setObjectName(QStringLiteral("LanguageBox"));
    // In the order of LanguageChoice; each language by its own name, in every catalogue.
    LanguageBox->addItems({QTr("wie das System"), QTr("Deutsch"), QTr("English")});
    LanguageBox->setCurrentIndex(static_cast<int>(StoredLanguageChoice()));
    LanguageBox->setToolTip(QTr("Die Sprache des Programms; sie gilt ab dem nächsten Start."));
    auto* LanguageLabel = new QLabel(QTr("Sprache:"), language);
    LanguageLabel->setObjectName(QStringLiteral("LanguageLabel"));
    LanguageLabel->setBuddy(LanguageBox);
    auto* languageRow = new QHBoxLayout(language);
    languageRow->setContentsMargins(0, 0, 0, 0);
    languageRow->addWidget(LanguageLabel);
    languageRow->addWidget(LanguageBox, 1);
    connect(LanguageBox, &QComboBox::activated, this,
            [](int index) { StoreLanguageChoice(static_cast<LanguageChoice>(index)); });

    connect(BitBtnXP1, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    Copyright->setText(InsertYear(Copyright->text(), QDate::currentDate().year()));
}

}  // namespace gw
