#pragma once
// TAboutBox: the "Info" box of the program, opened modally by the "about" image button.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace gw {

class TImage;

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    TImage* ProgramIcon;
    QLabel* ProductName;
    QLabel* Copyright;  // the rights label; its "XXXX" becomes the current year
    QLabel* Comments;   // production note and contact address
    QLabel* Label1;     // self-description, bold
    QLabel* Label2;     // self-description
    QLabel* Label3;     // the maker's programs and web site
    QPushButton* BitBtnXP1;
    QPushButton* BitBtn1;

    void FormCreate();
    void BitBtnXP1Click();
};

// The rights text with its first "XXXX" replaced by the year (four digits).
QString InsertYear(const QString& text, int year);

}  // namespace gw
