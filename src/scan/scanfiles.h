#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

// The pages a copier's scan-to-folder or a phone gives: PDF (every page),
// TIFF (every frame), JPEG and PNG, in any mix.

// One page of one file.
struct ScanSource {
    QString file;
    int page = 0;   // from 0
    int pages = 1;  // pages of the file
    // Names the page for the teacher: "扫描0001.pdf 第3页".
    QString name() const;
};

// The files of the kinds above, in natural order of their names, in a folder
// (not its subfolders).
QStringList scanFilesIn(const QString& folder);

// Every page of the files; files that cannot be opened are named in `problems`.
QVector<ScanSource> scanPages(const QStringList& files, QStringList& problems);

// The picture of one page (a PDF page rendered at `dpi`); a null image and the
// reason when it cannot be read.
QImage loadScanPage(const ScanSource& source, QString& problem, double dpi = 200);

// What identifies a page's picture: the same file's same page gives the same
// key, wherever the file lies.
QString scanPageKey(const ScanSource& source);

}  // namespace zs
