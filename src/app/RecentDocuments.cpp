#include "app/RecentDocuments.h"

#include <QSettings>

namespace gw {

namespace {

const QString kKey = QStringLiteral("recentDocuments");

void Store(const QStringList& documents) {
    QSettings().setValue(kKey, documents);
}

}  // namespace

QStringList RecentDocuments() {
    return QSettings().value(kKey).toStringList().mid(0, kMaxRecentDocuments);
}

void AddRecentDocument(const QString& fileName) {
    QStringList documents = RecentDocuments();
    documents.removeAll(fileName);
    documents.prepend(fileName);
    Store(documents.mid(0, kMaxRecentDocuments));
}

void ForgetRecentDocument(const QString& fileName) {
    QStringList documents = RecentDocuments();
    documents.removeAll(fileName);
    Store(documents);
}

}  // namespace gw
