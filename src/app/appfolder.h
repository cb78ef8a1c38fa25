#pragma once

#include "office/office.h"

#include <QString>
#include <QStringList>

namespace zs {

// The application folder: the bank, the documents folder, the templates, the
// help document, the splash picture and the home page.
class AppFolder {
public:
    explicit AppFolder(QString dir);

    const QString& dir() const { return dir_; }
    QString file(const QString& name) const;

    // The files (and the documents folder) the program expects, missing ones.
    QStringList missing() const;

    // Creates every missing file; existing files are never touched. The
    // documents folder is made only beside a bank without questions, and a new
    // bank only beside a documents folder without question documents. Returns
    // the names created. Throws StoreError or OfficeError when a file cannot be
    // made.
    QStringList prepare(Office& office);

    // Why no new bank is made: the bank is missing while the documents folder
    // still holds question documents (a new empty bank would let the number
    // refill delete them as abandoned). Empty when the bank is there or may be
    // made.
    QString missingBankProblem() const;

    // The three paper templates and the workbook template, made anew at `path`.
    static void writePaperTemplate(Office& office, const QString& path, const QString& kind);
    static void writeWorkbookTemplate(Office& office, const QString& path);
    // The tutorial made by the screenshot tool, shipped inside the program.
    static const QString kShippedTutorial;

    // Every file name of a complete folder, in a stable order.
    static QStringList expectedNames();

    // The folder a start without --app-dir uses: the program's own folder,
    // as a portable copy keeps bank and program together, unless the program
    // is installed (in the system's program folders under /usr, or where it
    // cannot write); an installed program keeps its folder 琢石-试题库 in the
    // teacher's home. A program folder that holds a bank is always used.
    static QString defaultDir(const QString& programDir, const QString& homeDir);

private:
    bool bankHoldsNoQuestion() const;

    QString dir_;
};

}  // namespace zs
