#pragma once
// TAboutBox: the "Info" box of the program, opened modally by the "about" image button. Its
// controls are found by their names: the panel "Panel1", the labels "ProductName", "Copyright"
// (its "XXXX" becomes the current year), "Comments", "Label1" to "Label3", the buttons
// "BitBtnXP1" (the home page) and "BitBtn1" (OK).

#include <QDialog>

namespace gw {

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

// The rights text with its first "XXXX" replaced by the year (four digits).
QString InsertYear(const QString& text, int year);

}  // namespace gw
