#include "app/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/System.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

MsgResult ShowQtMessageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                           MsgButtons buttons) {
    QWidget* parent = QApplication::activeWindow();
    const QString title = caption.empty() ? QApplication::applicationName() : ToQString(caption);
    QMessageBox box(ToQtIcon(icon), title, ToQString(text), QMessageBox::NoButton, parent);
    if (buttons == MsgButtons::OkCancel) {
        box.addButton(QTr("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QTr("Abbrechen"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == cancel ? MsgResult::Cancel : MsgResult::Ok;
    }
    if (buttons == MsgButtons::SaveDiscardCancel) {
        QPushButton* save = box.addButton(QTr("Speichern"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QTr("Verwerfen"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QTr("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == save) return MsgResult::Save;
        if (box.clickedButton() == discard) return MsgResult::Discard;
        return MsgResult::Cancel;
    }
    box.addButton(QTr("OK"), QMessageBox::AcceptRole);
    box.exec();
    return MsgResult::Ok;
}

}  // namespace

void InstallQtMessageBoxes() {
    SetMessageBoxHandler(ShowQtMessageBox);
}

}  // namespace gw
