#pragma once
// TLogoForm: the splash window shown while the built-in textures load at the first showing of
// the main window. No border, no caption; one picture of 450 x 200 fills it.

#include <QWidget>

class QLabel;

namespace gw {

class TLogoForm : public QWidget {
    Q_OBJECT

  public:
    explicit TLogoForm(QWidget* parent = nullptr);

    QLabel* Image1;

    // Sizes the window to its picture and centres it on the screen.
    void FormCreate();
};

}  // namespace gw
