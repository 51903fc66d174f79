// The window's desktop habits: keys and their tool tips, the Alt letters two captions share.

#include <QAbstractButton>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QShortcutEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "app/MainFUnit.h"
#include "app/RecentDocuments.h"
#include "document/LetteringFile.h"
#include "ui/Dialogs.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/ViewNavigator.h"

namespace gw {

namespace {

// The keys as the German desktop names them, "Strg+Umschalt+S".
QString KeyName(const QKeySequence& keys) {
    QString name = keys.toString(QKeySequence::PortableText);
    name.replace(QStringLiteral("Ctrl"), QStringLiteral("Strg"));
    name.replace(QStringLiteral("Shift"), QStringLiteral("Umschalt"));
    return name;
}

QString WithKeys(const QString& hint, const QKeySequence& keys) {
    return hint + QStringLiteral(" (") + KeyName(keys) + QLatin1Char(')');
}

}  // namespace

void TMainForm::ConnectDesktopHabits() {
    ConnectKeys();
    ConnectRecentMenu();
    setAcceptDrops(true);
    // The picture buttons are reached with Tab and pressed with Space or Enter.
    for (auto [picture, command] : {std::pair{ueberbtn, &TMainForm::ueberbtnClick},
                                    std::pair{EndeBtn, &TMainForm::EndeBtnClick}}) {
        picture->setFocusPolicy(Qt::TabFocus);
        picture->OnKeyClick = [this, command] { (this->*command)(); };
    }
    // Every button of the window, the pickers' included, is watched for shared Alt letters.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->installEventFilter(this);
}

void TMainForm::ConnectKeys() {
    struct Key {
        QKeySequence keys;
        void (TMainForm::*command)();
        QWidget* shownOn;  // the button whose tool tip names the keys
        bool resultPage;
    };
    const Key keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), &TMainForm::NewBtnClick, SpeedButton1, false},
        {QKeySequence(Qt::CTRL | Qt::Key_O), &TMainForm::SpeedButton2Click, SpeedButton2, false},
        {QKeySequence(Qt::CTRL | Qt::Key_S), &TMainForm::SaveBtnClick, SaveBtn, false},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TMainForm::SaveAsBtnClick, SaveAsBtn,
         false},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), &TMainForm::EndeBtnClick, EndeBtn, false},
        {QKeySequence(Qt::CTRL | Qt::Key_P), &TMainForm::PrintBtnClick, PrintButton, true},
        {QKeySequence(Qt::CTRL | Qt::Key_C), &TMainForm::Kopieren1Click, CopyButton, true},
    };
    for (const Key& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, command = key.command] { (this->*command)(); });
        // The result page's buttons had no tool tip before.
        const QString hint = key.shownOn == PrintButton  ? QStringLiteral("Bild drucken...")
                             : key.shownOn == CopyButton ? QStringLiteral("Bild kopieren")
                                                         : key.shownOn->toolTip();
        key.shownOn->setToolTip(WithKeys(hint, key.keys));
        if (key.resultPage) resultPageKeys_.push_back(shortcut);
    }
    EndeBtnDown->setToolTip(EndeBtn->toolTip());
    // Printing and copying belong to the result page; elsewhere Ctrl+C is the text box's copy.
    const auto followPage = [this] {
        for (QShortcut* shortcut : resultPageKeys_)
            shortcut->setEnabled(PageControl3->currentWidget() == TabSheet15);
    };
    connect(PageControl3, &QTabWidget::currentChanged, this, followPage);
    followPage();
}

bool TMainForm::RunSharedMnemonic(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::Shortcut || !qobject_cast<QAbstractButton*>(receiver))
        return false;
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (!shortcut->isAmbiguous()) return false;
    QAbstractButton* toolBar = nullptr;
    QAbstractButton* page = nullptr;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || !button->isEnabled() ||
            QKeySequence::mnemonic(button->text()) != shortcut->key())
            continue;
        QAbstractButton*& slot = Panel25->isAncestorOf(button) ? toolBar : page;
        if (!slot) slot = button;
    }
    // The page in front is what the user works on; the tool bar's commands keep their Ctrl keys.
    QAbstractButton* chosen = page ? page : toolBar;
    if (!chosen) return false;
    chosen->click();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Zoom

void TMainForm::ConnectZoom() {
    editZoom_ = new TViewNavigator(ScrollBox1, PaintBox1);
    editZoom_->setObjectName(QStringLiteral("PaintBox1Zoom"));
    editZoom_->OnPlace = [this] { ResizePaintBox(); };
    editZoom_->SetPanning(true);
    // A click into the view gives it the keys, so Space pans there even after typing.
    PaintBox1->setFocusPolicy(Qt::ClickFocus);
    resultZoom_ = new TViewNavigator(ErgScrollBox, ErgPaintBox);
    resultZoom_->setObjectName(QStringLiteral("ErgPaintBoxZoom"));

    struct Command {
        const char* name;
        QString text;
        void (TViewNavigator::*run)();
        std::vector<QKeySequence> keys;
    };
    const Command commands[] = {
        {"ZoomFit", QStringLiteral("Ganzes Bild"), &TViewNavigator::FitWhole, {}},
        {"Zoom100",
         QStringLiteral("100 %"),
         &TViewNavigator::ActualSize,
         {QKeySequence(Qt::CTRL | Qt::Key_0),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_0)}},
        {"ZoomIn",
         QStringLiteral("Vergrößern"),
         &TViewNavigator::ZoomIn,
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)}},
        {"ZoomOut",
         QStringLiteral("Verkleinern"),
         &TViewNavigator::ZoomOut,
         {QKeySequence(Qt::CTRL | Qt::Key_Minus),
          QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)}},
    };
    for (const Command& command : commands)
        for (const QKeySequence& keys : command.keys) {
            auto* shortcut = new QShortcut(keys, this);
            connect(shortcut, &QShortcut::activated, this,
                    [this, run = command.run] { (ShownZoom()->*run)(); });
        }

    // Each view has the commands in a row of its page's header and in its menu.
    struct View {
        TViewNavigator* zoom;
        QWidget* header;
        const char* prefix;
    };
    for (const View& view : {View{editZoom_, Panel6, ""}, View{resultZoom_, Panel16, "Erg"}}) {
        auto* menu = new QMenu(this);
        auto* row = static_cast<QHBoxLayout*>(view.header->layout());
        row->addStretch(1);
        for (const Command& command : commands) {
            const QString keys = command.keys.empty() ? QString() : KeyName(command.keys.front());
            QAction* action = menu->addAction(
                keys.isEmpty() ? command.text : command.text + QLatin1Char('\t') + keys);
            connect(action, &QAction::triggered, this,
                    [zoom = view.zoom, run = command.run] { (zoom->*run)(); });
            auto* button = new QToolButton(view.header);
            button->setObjectName(QString::fromLatin1(view.prefix) +
                                  QString::fromLatin1(command.name) + QStringLiteral("Btn"));
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            const bool sign =
                command.run == &TViewNavigator::ZoomIn || command.run == &TViewNavigator::ZoomOut;
            // The steps are signs, so the row leaves the header its title.
            button->setText(!sign                                    ? command.text
                            : command.run == &TViewNavigator::ZoomIn ? QStringLiteral("+")
                                                                     : QStringLiteral("\u2212"));
            button->setToolTip(keys.isEmpty() ? command.text
                                              : WithKeys(command.text, command.keys.front()));
            if (sign) button->setFixedWidth(25);
            connect(button, &QToolButton::clicked, this,
                    [zoom = view.zoom, run = command.run] { (zoom->*run)(); });
            row->addWidget(button);
        }
        view.zoom->SetContextMenu(menu);
        connect(view.zoom, &TViewNavigator::zoomChanged, this, [this] { ShowZoom(); });
    }
    connect(PageControl3, &QTabWidget::currentChanged, this, [this] { ShowZoom(); });
    ShowZoom();
}

TViewNavigator* TMainForm::ShownZoom() const {
    return PageControl3->currentWidget() == TabSheet15 ? resultZoom_ : editZoom_;
}

void TMainForm::ShowZoom() {
    if (ZoomLabel) ZoomLabel->setText(ShownZoom()->ZoomText());
}

// ---------------------------------------------------------------------------------------------
// Unsaved changes

void TMainForm::UpdateCaption() {
    QString caption = ToQString(CaptionFor(session_.fileName()));
    if (session_.Modified()) caption += QStringLiteral(" *");
    setWindowTitle(caption);
}

bool TMainForm::MayDropChanges(std::string_view question, std::string_view caption, MsgIcon icon) {
    if (!session_.Modified()) return true;
    switch (ShowMessageBox(question, caption, icon, MsgButtons::SaveDiscardCancel)) {
        case MsgResult::Save:
            return SaveDocument();
        case MsgResult::Cancel:
            return false;
        case MsgResult::Ok:
        case MsgResult::Discard:
            break;
    }
    return true;
}

bool TMainForm::SaveDocument() {
    QString fileName = currentFileName();
    if (fileName.isEmpty()) {
        DialogRequest request;
        request.kind = DialogKind::Save;
        request.name = QStringLiteral("SaveDialog2");
        request.filter = QStringLiteral("Schriftzug-Dateien (*.zgw)");
        request.defaultSuffix = QStringLiteral("zgw");
        const DialogAnswer answer = RunDialog(this, request);
        if (!answer.accepted) return false;
        fileName = answer.fileName;
    }
    SaveFile(fileName);
    // A failed save has said so and left the changes unsaved.
    return currentFileName() == fileName && !session_.Modified();
}

// ---------------------------------------------------------------------------------------------
// "Zuletzt geöffnet"

bool TMainForm::MayOpen() {
    return MayDropChanges("Hiermit gehen alle nicht gespeicherten Informationen verloren.",
                          "Datei/Öffnen", MsgIcon::Information);
}

void TMainForm::ConnectRecentMenu() {
    recentMenu_ = new QMenu(QStringLiteral("Zuletzt geöffnet"), SpeedButton2);
    recentMenu_->setObjectName(QStringLiteral("RecentMenu"));
    recentMenu_->setToolTipsVisible(true);
    SpeedButton2->setMenu(recentMenu_);
    SpeedButton2->setPopupMode(QToolButton::MenuButtonPopup);
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    connect(recentMenu_, &QMenu::triggered, this, [this](QAction* action) {
        if (const QString file = action->data().toString(); !file.isEmpty()) OpenRecent(file);
    });
}

void TMainForm::FillRecentMenu() {
    recentMenu_->clear();
    recentMenu_->addSection(QStringLiteral("Zuletzt geöffnet"));
    const QStringList documents = RecentDocuments();
    if (documents.isEmpty()) recentMenu_->addAction(QStringLiteral("(keine)"))->setEnabled(false);
    for (qsizetype i = 0; i < documents.size(); ++i) {
        QAction* action = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(documents[i]).fileName()));
        action->setData(documents[i]);
        action->setToolTip(documents[i]);
    }
}

void TMainForm::OpenRecent(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) {
        ForgetRecentDocument(fileName);
        ShowMessageBox("Die Datei " + ToStdString(fileName) +
                           " gibt es nicht mehr. Sie wird aus der Liste \"Zuletzt geöffnet\" "
                           "genommen.",
                       "Zuletzt geöffnet", MsgIcon::Warning);
        return;
    }
    if (MayOpen()) OpenFile(fileName);
}

// ---------------------------------------------------------------------------------------------
// Drag and drop

namespace {

// The one local .zgw file dropped; empty for anything else.
QString DroppedDocument(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl& url = data->urls().front();
    if (!url.isLocalFile()) return {};
    const QString file = url.toLocalFile();
    return file.endsWith(QStringLiteral(".zgw"), Qt::CaseInsensitive) ? file : QString();
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDocument(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QString file = DroppedDocument(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    if (MayOpen()) OpenFile(file);
}

}  // namespace gw
