#include "ui/RenderProgress.h"
#include "ui/Tr.h"

#include <QApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

namespace gw {

namespace {

ProgressHook& TheProgressHook() {
    static ProgressHook hook;
    return hook;
}

// A render quicker than this shows no dialog at all.
constexpr int kShowAfterMilliseconds = 400;

}  // namespace

ProgressHook SetProgressHook(ProgressHook hook) {
    ProgressHook previous = std::move(TheProgressHook());
    TheProgressHook() = std::move(hook);
    return previous;
}

bool RunWithProgress(QWidget* parent, const QString& label, std::function<void()> work) {
    // Over a dialog that waits for the render (the print preview), not behind it.
    if (QWidget* modal = QApplication::activeModalWidget()) parent = modal;
    QProgressDialog dialog(label, QTr("Abbrechen"), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("RenderProgress"));
    dialog.setWindowTitle(QStringLiteral("Zarbo Glyphwerk"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kShowAfterMilliseconds);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    bool cancelled = false;
    QEventLoop loop;
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    // Escape closes the dialog without the button: that cancels too.
    QObject::connect(&dialog, &QDialog::rejected, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QFutureWatcher<void> watcher;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::move(work)));
    dialog.setValue(0);
    if (TheProgressHook()) TheProgressHook()(dialog);
    cancelled = cancelled || dialog.wasCanceled();
    if (!cancelled && !watcher.isFinished()) loop.exec();
    return !cancelled && watcher.isFinished();
}

}  // namespace gw
