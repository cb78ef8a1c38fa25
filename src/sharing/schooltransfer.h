#pragma once

#include <QString>

namespace zs {

// Moving a whole bank between a teacher's bank file and a school bank on a
// server. Both are all or nothing: on a failure the target stays as it was.
struct TransferResult {
    int questions = 0;         // questions copied (one number each)
    int renumbered = 0;        // of them, given a new number
    int alreadyThere = 0;      // left out: the target has their 试题识别码
    int missingDocuments = 0;  // left out: a document of theirs is missing
    int catalogueRows = 0;     // 教材设置 rows the target lacked
    int sources = 0;           // 试题来源 rows the target lacked
};

// "上传到学校题库": copies the questions of a file bank (rows and documents),
// its catalogue and its sources into a school bank in one transaction. A
// question keeps its 试题识别码 and its number, unless the school bank holds
// that number (rows or another teacher's pool): then it gets the lowest free
// one. Questions whose code the school bank knows are left out, and so are
// catalogue and source rows it has. Throws StoreError.
TransferResult uploadToSchoolBank(const QString& fileBank, const QString& schoolBank);

// "下载为本地题库": writes a new bank file with everything of a school bank
// (questions with their documents, catalogue, types, difficulties, sources),
// read in one consistent snapshot. The accounts stay on the server: their
// passwords are hashes a file bank cannot check. The file appears only when
// it is complete. Throws StoreError (also when the file exists).
TransferResult downloadSchoolBank(const QString& schoolBank, const QString& filePath);

// The messages that report a transfer.
QString uploadedMessage(const TransferResult& result);
QString downloadedMessage(const TransferResult& result, const QString& filePath);

}  // namespace zs
