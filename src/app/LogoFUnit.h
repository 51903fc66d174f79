#pragma once
// TLogoForm: the splash window shown while the built-in textures load at the first showing of
// the main window. No border, no caption; one picture of 450 x 200 fills it.

#include <QWidget>

namespace gw {

class TLogoForm : public QWidget {
    Q_OBJECT

  public:
    explicit TLogoForm(QWidget* parent = nullptr);
};

}  // namespace gw
