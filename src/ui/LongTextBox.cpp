#include "ui/LongTextBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <string>

#include "platform/System.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"

namespace gw {

namespace {

// The box's text while it is held back, and the asking for it.
class HeldText : public QObject {
  public:
    explicit HeldText(QPlainTextEdit* box) : QObject(box), box_(box) {
        setObjectName(QStringLiteral("HeldText"));
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
    }

    bool holding = false;
    QString text;

    void Hold(const QString& held) {
        text = held;
        holding = true;
        const QSignalBlocker quiet(box_);
        box_->clear();
        box_->setReadOnly(true);
        box_->setPlaceholderText(
            QTr("Dieser Text hat eine Zeile mit %1 Zeichen. So lange Zeilen zeigt das "
                "Textfeld nur auf Wunsch, weil es sie sehr langsam darstellt; gezeichnet "
                "und gespeichert wird der Text trotzdem. Doppelklick oder "
                "Eingabetaste: den Text hier zeigen und bearbeiten.")
                .arg(LongestLine(held)));
    }

    // Puts the text into the box to be edited.
    void Release(const QString& shown) {
        holding = false;
        text.clear();
        box_->setPlaceholderText({});
        box_->setReadOnly(false);
        const QSignalBlocker quiet(box_);
        box_->setPlainText(shown);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The box sends its children's last events through here while it is being taken
        // down, when it must not be asked for anything: only a double click or a key is looked at.
        const QEvent::Type type = event->type();
        if (!holding || (type != QEvent::MouseButtonDblClick && type != QEvent::KeyPress))
            return false;
        const bool asked =
            (watched == box_->viewport() && event->type() == QEvent::MouseButtonDblClick) ||
            (watched == box_ && event->type() == QEvent::KeyPress &&
             (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
              static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter));
        if (!asked) return false;
        const std::string question = catalogue::Fill(
            catalogue::Tr("Der Text hat eine Zeile mit %1 Zeichen. Das Textfeld braucht für sie "
                          "womöglich viele Sekunden, bei jedem Tastendruck wieder. Den Text "
                          "trotzdem im Textfeld zeigen?"),
            {std::to_string(LongestLine(text))});
        if (ShowMessageBox(question, catalogue::Tr("Langer Text"), MsgIcon::Question,
                           MsgButtons::OkCancel) == MsgResult::Ok)
            Release(QString(text));
        return true;
    }

  private:
    QPlainTextEdit* box_;
};

HeldText* HeldOf(const QPlainTextEdit* box) {
    return box->findChild<HeldText*>(QStringLiteral("HeldText"), Qt::FindDirectChildrenOnly);
}

}  // namespace

qsizetype LongestLine(const QString& text) {
    qsizetype longest = 0, start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == QLatin1Char('\n')) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest;
}

bool HoldsTextBack(const QPlainTextEdit* box) {
    const HeldText* held = HeldOf(box);
    return held && held->holding;
}

void ShowInTextBox(QPlainTextEdit* box, const QString& text) {
    HeldText* held = HeldOf(box);
    const bool holding = held && held->holding;
    if (holding ? held->text == text : box->toPlainText() == text) return;
    if (LongestLine(text) <= kLongestTextBoxLine) {
        // A text the box lays out fast goes in as it always did.
        if (holding) {
            held->Release(text);
        } else {
            box->setPlainText(text);
        }
        return;
    }
    if (!held) held = new HeldText(box);
    held->Hold(text);
}

}  // namespace gw
