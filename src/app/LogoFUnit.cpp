#include "app/LogoFUnit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/Pictures.h"

namespace gw {

TLogoForm::TLogoForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("LogoForm"));
    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(LayoutPicture("splash.jpg"));
    Image1->move(0, 0);
    // Sized to its picture and centred on the screen.
    QSize size = Image1->pixmap().isNull() ? QSize(450, 200)
                                           : Image1->pixmap().deviceIndependentSize().toSize();
    Image1->resize(size);
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

}  // namespace gw
