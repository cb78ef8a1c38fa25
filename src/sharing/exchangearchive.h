#pragma once

#include <QString>

namespace zs {

// One file for a shared part of a bank: a .zip holding the export folder (its
// bank file and its documents folder), so that it can be sent as an
// attachment or copied on a USB stick as one thing.

// Packs the folder (and everything below it) into `archivePath`, under the
// folder's own name. An existing file of that name is not overwritten. All or
// nothing: on a failure no archive is left behind. Throws StoreError naming
// the file and the reason.
void packFolder(const QString& folder, const QString& archivePath);

// Unpacks an archive into `targetFolder` (which must exist). Entries that would
// land outside the folder (absolute names, "..") are refused. Returns the bank
// file found in it (the first .mdb, by path); throws StoreError when the file
// is not an archive, is damaged, or holds no bank file.
QString unpackExchange(const QString& archivePath, const QString& targetFolder);

// Whether a chosen file is such an archive (by its first bytes, not its name).
bool isZipArchive(const QString& path);

}  // namespace zs
