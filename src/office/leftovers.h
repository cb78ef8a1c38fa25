#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

namespace zs {

// Removes what programs that are gone left in a folder: every entry (of
// `filters`) named prefix + <process id> + separator + <one more part> whose
// process no longer runs. The running program's own entries, and those of a
// process whose state cannot be told, stay. Folders go with everything in
// them. Returns the paths removed.
QStringList removeLeftoversOfGonePrograms(const QString& folder, const QString& prefix, QChar separator,
                                          QDir::Filters filters);

}  // namespace zs
