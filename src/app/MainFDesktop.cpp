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

#include "app/LayoutKit.h"
#include "app/MainFUnit.h"
#include "app/RecentDocuments.h"
#include "document/LetteringFile.h"
#include "ui/Dialogs.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"
#include "ui/Tr.h"
#include "ui/ViewNavigator.h"

namespace gw {

using catalogue::Fill;
using catalogue::Tr;
using layout::KeyName;
using layout::Named;
using layout::WithKeys;

struct TMainForm::Habits {
    QWidget* Panel25 = nullptr;
    QMenu* recentMenu = nullptr;
    // Printing and copying belong to the result page.
    std::vector<QShortcut*> resultPageKeys;
};

void TMainForm::AreaDeleter::operator()(Habits* area) const {
    delete area;
}

void TMainForm::ConnectDesktopHabits() {
    habits_.reset(new Habits);
    habits_->Panel25 = Named<QWidget>(*this, "Panel25");
    ConnectKeys();
    ConnectRecentMenu();
    setAcceptDrops(true);
    // The picture buttons are reached with Tab and pressed with Space or Enter.
    for (auto [picture, command] :
         {std::pair{Named<TImage>(*this, "ueberbtn"), &TMainForm::ueberbtnClick},
          std::pair{Named<TImage>(*this, "EndeBtn"), &TMainForm::EndeBtnClick}}) {
        picture->setFocusPolicy(Qt::TabFocus);
        picture->OnKeyClick = [this, command] { (this->*command)(); };
    }
    // Every button of the window, the pickers' included, is watched for shared Alt letters.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->installEventFilter(this);
}

void TMainForm::ConnectKeys() {
    auto* PrintButton = Named<QWidget>(*this, "PrintButton");
    auto* CopyButton = Named<QWidget>(*this, "CopyButton");
    auto* EndeBtn = Named<QWidget>(*this, "EndeBtn");
    struct Key {
        QKeySequence keys;
        void (TMainForm::*command)();
        QWidget* shownOn;  // the button whose tool tip names the keys
        bool resultPage;
    };
    const Key keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), &TMainForm::NewBtnClick,
         Named<QWidget>(*this, "SpeedButton1"), false},
        {QKeySequence(Qt::CTRL | Qt::Key_O), &TMainForm::SpeedButton2Click,
         Named<QWidget>(*this, "SpeedButton2"), false},
        {QKeySequence(Qt::CTRL | Qt::Key_S), &TMainForm::SaveBtnClick,
         Named<QWidget>(*this, "SaveBtn"), false},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TMainForm::SaveAsBtnClick,
         Named<QWidget>(*this, "SaveAsBtn"), false},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), &TMainForm::EndeBtnClick, EndeBtn, false},
        {QKeySequence(Qt::CTRL | Qt::Key_P), &TMainForm::PrintBtnClick, PrintButton, true},
        {QKeySequence(Qt::CTRL | Qt::Key_C), &TMainForm::Kopieren1Click, CopyButton, true},
    };
    for (const Key& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, command = key.command] { (this->*command)(); });
        // The result page's buttons had no tool tip before.
        const QString hint = key.shownOn == PrintButton  ? QTr("Bild drucken...")
                             : key.shownOn == CopyButton ? QTr("Bild kopieren")
                                                         : key.shownOn->toolTip();
        key.shownOn->setToolTip(WithKeys(hint, key.keys));
        if (key.resultPage) habits_->resultPageKeys.push_back(shortcut);
    }
    Named<QWidget>(*this, "EndeBtnDown")->setToolTip(EndeBtn->toolTip());
    // Printing and copying belong to the result page; elsewhere Ctrl+C is the text box's copy.
    const auto followPage = [this] {
        for (QShortcut* shortcut : habits_->resultPageKeys)
            shortcut->setEnabled(ResultPageShown());
    };
    connect(Named<QTabWidget>(*this, "PageControl3"), &QTabWidget::currentChanged, this,
            followPage);
    followPage();
}

bool TMainForm::RunSharedMnemonic(QObject* receiver, QEvent* event) {
    if (!habits_ || event->type() != QEvent::Shortcut || !qobject_cast<QAbstractButton*>(receiver))
        return false;
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (!shortcut->isAmbiguous()) return false;
    QAbstractButton* toolBar = nullptr;
    QAbstractButton* page = nullptr;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || !button->isEnabled() ||
            QKeySequence::mnemonic(button->text()) != shortcut->key())
            continue;
        QAbstractButton*& slot = habits_->Panel25->isAncestorOf(button) ? toolBar : page;
        if (!slot) slot = button;
    }
    // The page in front is what the user works on; the tool bar's commands keep their Ctrl keys.
    QAbstractButton* chosen = page ? page : toolBar;
    if (!chosen) return false;
    chosen->click();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Unsaved changes

void TMainForm::UpdateCaption() {
    // A document not yet saved has the name it would be given, in the window's language.
    const std::string& fileName = session().fileName();
    QString caption = ToQString(CaptionFor(fileName.empty() ? Tr("Unbenannt.zgw") : fileName));
    if (session().Modified()) caption += QStringLiteral(" *");
    setWindowTitle(caption);
}

bool TMainForm::MayDropChanges(std::string_view question, std::string_view caption, MsgIcon icon) {
    if (!session().Modified()) return true;
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
        request.filter = QTr("Schriftzug-Dateien (*.zgw)");
        request.defaultSuffix = QStringLiteral("zgw");
        const DialogAnswer answer = RunDialog(this, request);
        if (!answer.accepted) return false;
        fileName = answer.fileName;
    }
    SaveFile(fileName);
    // A failed save has said so and left the changes unsaved.
    return currentFileName() == fileName && !session().Modified();
}

// ---------------------------------------------------------------------------------------------
// "Zuletzt geöffnet"

bool TMainForm::MayOpen() {
    return MayDropChanges(Tr("Hiermit gehen alle nicht gespeicherten Informationen verloren."),
                          Tr("Datei/Öffnen"), MsgIcon::Information);
}

void TMainForm::ConnectRecentMenu() {
    auto* SpeedButton2 = Named<QToolButton>(*this, "SpeedButton2");
    QMenu*& recentMenu = habits_->recentMenu;
    recentMenu = new QMenu(QTr("Zuletzt geöffnet"), SpeedButton2);
    recentMenu->setObjectName(QStringLiteral("RecentMenu"));
    recentMenu->setToolTipsVisible(true);
    SpeedButton2->setMenu(recentMenu);
    SpeedButton2->setPopupMode(QToolButton::MenuButtonPopup);
    connect(recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    connect(recentMenu, &QMenu::triggered, this, [this](QAction* action) {
        if (const QString file = action->data().toString(); !file.isEmpty()) OpenRecent(file);
    });
}

void TMainForm::FillRecentMenu() {
    QMenu* recentMenu = habits_->recentMenu;
    recentMenu->clear();
    recentMenu->addSection(QTr("Zuletzt geöffnet"));
    const QStringList documents = RecentDocuments();
    if (documents.isEmpty()) recentMenu->addAction(QTr("(keine)"))->setEnabled(false);
    for (qsizetype i = 0; i < documents.size(); ++i) {
        QAction* action = recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(documents[i]).fileName()));
        action->setData(documents[i]);
        action->setToolTip(documents[i]);
    }
}

void TMainForm::OpenRecent(const QString& fileName) {
    if (!QFileInfo::exists(fileName)) {
        ForgetRecentDocument(fileName);
        ShowMessageBox(Fill(Tr("Die Datei %1 gibt es nicht mehr. Sie wird aus der Liste "
                               "\"Zuletzt geöffnet\" genommen."),
                            {ToStdString(fileName)}),
                       Tr("Zuletzt geöffnet"), MsgIcon::Warning);
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
