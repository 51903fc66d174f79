#pragma once
// The main window as a test reaches it: its controls by their names, driven with events, and its
// render schedule.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <functional>

#include "app/MainFUnit.h"
#include "app/RenderSchedule.h"
#include "editing/EnvelopeEditor.h"
#include "ui/GalleryBox.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"
#include "ui/ResizeFUnit.h"
#include "ui/Shape.h"
#include "ui/SpinEdit.h"
#include "ui/SurfFrUnit.h"

namespace gw {

template <class T = QWidget>
T* Find(const QObject& form, const char* name) {
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("The window has no %s.", name);
    return child;
}

inline TRenderSchedule* Schedule(const QObject& form) {
    return Find<TRenderSchedule>(form, "RenderSchedule");
}

// A press, move or release of the left button at (x, y) of the widget.
inline void Mouse(QWidget* widget, QEvent::Type type, int x, int y) {
    const QPointF at(x, y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// The paint handler of a paint box, as its next paint runs it.
inline void Paint(const QObject& form, const char* box) {
    Find<TPaintBox>(form, box)->OnPaint();
}

// What pressing the keys does, without the window having the focus.
inline void PressShortcut(const QObject& form, const QKeySequence& keys) {
    for (QShortcut* shortcut : form.findChildren<QShortcut*>())
        if (shortcut->key() == keys) emit shortcut->activated();
}

// A change of the lettering no control makes, run through the window's session as a step of
// its own; Change::SpiralEd asks for no reaction.
inline void ChangeLettering(TMainForm& form, std::function<void(Lettering&)> change,
                            Change reaction = Change::PictureOrDocument) {
    form.session().Run({"Test", reaction, [change](Lettering& lettering) {
                            change(lettering);
                            return true;
                        }});
}

inline QTextBrowser* HelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("HelpWindow"))
            return qobject_cast<QTextBrowser*>(widget);
    return nullptr;
}

}  // namespace gw
