#pragma once
// "Zuletzt geöffnet": the documents last opened or saved, newest first, kept in the user's
// settings between runs.

#include <QString>
#include <QStringList>

namespace gw {

inline constexpr int kMaxRecentDocuments = 8;

QStringList RecentDocuments();
// Puts the document at the top, once, and drops the oldest beyond kMaxRecentDocuments.
void AddRecentDocument(const QString& fileName);
void ForgetRecentDocument(const QString& fileName);

}  // namespace gw
