#pragma once

#include <QString>

namespace zs {

// Names of the files of the application folder.
inline const QString kBankFileName = QStringLiteral("试题库.mdb");
inline const QString kDocumentsFolderName = QStringLiteral("试题源文件");
inline const QString kPaperTemplateName = QStringLiteral("试卷模板.doc");
inline const QString kAnswerTemplateName = QStringLiteral("参考答案模板.doc");
inline const QString kReviewTemplateName = QStringLiteral("讲评卷模板.doc");
inline const QString kExportTemplateName = QStringLiteral("试题库导出模板.mdb");
inline const QString kWorkbookTemplateName = QStringLiteral("命卷双向细目表模板.xls");
inline const QString kHelpDocumentName = QStringLiteral("琢石-试题库-使用教程.doc");
inline const QString kSplashPictureName = QStringLiteral("启动界面.png");
inline const QString kHomePageName = QStringLiteral("琢石-试题库-主页.html");

// The folder of a bank file: its path cut before the last separator. For a
// server bank, the local folder its documents are fetched into.
QString bankFolderOf(const QString& bankPath);
// The documents folder beside a bank file.
QString documentsFolderOf(const QString& bankPath);
// The question and answer documents of a question number beside a bank file.
QString questionDocumentPath(const QString& bankPath, const QString& number);
QString answerDocumentPath(const QString& bankPath, const QString& number);

}  // namespace zs
