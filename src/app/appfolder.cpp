#include "app/appfolder.h"

#include "app/tutorial.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zs {

const QString AppFolder::kShippedTutorial = QStringLiteral(":/appfolder/tutorial.doc");

AppFolder::AppFolder(QString dir) : dir_(std::move(dir)) {}

QString AppFolder::file(const QString& name) const {
    return QDir(dir_).filePath(name);
}

QStringList AppFolder::expectedNames() {
    return {kBankFileName,       kDocumentsFolderName,  kPaperTemplateName, kAnswerTemplateName, kReviewTemplateName,
            kExportTemplateName, kWorkbookTemplateName, kHelpDocumentName,  kSplashPictureName,  kHomePageName};
}

QString AppFolder::defaultDir(const QString& programDir, const QString& homeDir) {
    if (QFileInfo::exists(QDir(programDir).filePath(kBankFileName)))
        return programDir;
    // Root may write /usr/bin, but a bank never belongs there.
    const QString clean = QDir::cleanPath(QFileInfo(programDir).absoluteFilePath());
    const bool systemFolder = clean == QLatin1String("/usr") || clean.startsWith(QLatin1String("/usr/"));
    if (!systemFolder && QFileInfo(programDir).isWritable())
        return programDir;
    return QDir(homeDir).filePath(QStringLiteral("琢石-试题库"));
}

QStringList AppFolder::missing() const {
    QStringList out;
    for (const QString& name : expectedNames())
        if (!QFileInfo::exists(file(name)))
            out << name;
    return out;
}

void AppFolder::writePaperTemplate(Office& office, const QString& path, const QString& kind) {
    const auto word = office.startWord();
    const auto doc = word->newDocument();
    doc->append(QStringLiteral("__________学校 ______学年度第___学期"), songStyle(18, true, TextStyle::Align::Center));
    doc->append(QStringLiteral("\r__________ %1").arg(kind), songStyle(22, true, TextStyle::Align::Center));
    const TextStyle line = songStyle(12, false, TextStyle::Align::Center);
    if (kind == u"试卷")
        doc->append(QStringLiteral("\r（考试时间：______分钟    满分：______分）\r"
                                   "姓名：__________  班级：__________  学号：__________  得分：__________"),
                    line);
    else if (kind == u"参考答案")
        doc->append(QStringLiteral("\r（本参考答案与同名试卷配套使用）"), line);
    else
        doc->append(QStringLiteral("\r（讲评用：每题前的红色编号为试题识别码，页边批注写明考查范围、知识点和难度）"),
                    line);
    doc->append(QStringLiteral("\r\r"), songStyle(12, false, TextStyle::Align::Left));
    doc->saveAs(path);
    doc->close();
}

void AppFolder::writeWorkbookTemplate(Office& office, const QString& path) {
    const QString table = QStringLiteral("命卷双向细目表");
    const QString marker = QStringLiteral("sheet2");
    const auto calc = office.startSpreadsheet();
    const auto book = calc->newWorkbook();
    const QStringList sheets = book->sheetNames();
    book->renameSheet(sheets.value(0), table);
    for (int i = 1; i < sheets.size(); ++i)
        if (sheets[i] != marker)
            book->renameSheet(sheets[i], sheets[i] + QStringLiteral("-"));
    if (!book->hasSheet(marker))
        book->addSheet(marker);
    book->setCellText(marker, 1, 1, QStringLiteral("a"));

    book->setCellText(table, 1, 1, QStringLiteral("命卷双向细目表"));
    book->mergeCells(table, 1, 1, 7);
    book->setFontSize(table, 1, 1, 22);
    book->setBold(table, 1, 1, true);
    book->setRowHeight(table, 1, 36);
    const QStringList heads = {"题号", "题目编号", "题目识别码", "题型", "难度", "考查范围", "知识点"};
    const QRgb headColour = qRgb(191, 191, 191);
    const QRgb oddColour = qRgb(255, 255, 255);
    const QRgb evenColour = qRgb(221, 235, 247);
    for (int c = 1; c <= 7; ++c) {
        book->setCellText(table, 2, c, heads[c - 1]);
        book->setBold(table, 2, c, true);
        book->setFontSize(table, 2, c, 16);
        book->setCellBackground(table, 2, c, headColour);
        book->setContinuousBorders(table, 2, c);
        book->setCellBackground(table, 3, c, oddColour);
        book->setCellBackground(table, 4, c, evenColour);
    }
    book->setRowHeight(table, 2, 26.25);
    const double widths[] = {40, 70, 110, 60, 45, 260, 160};
    for (int c = 1; c <= 7; ++c)
        book->setColumnWidth(table, c, widths[c - 1]);
    book->activateSheet(table);
    book->saveAs(path);
    book->close();
}

QString AppFolder::missingBankProblem() const {
    const QString bank = file(kBankFileName);
    if (QFileInfo::exists(bank) || QFileInfo(bank).isSymLink())
        return {};
    const QStringList documents =
        QDir(file(kDocumentsFolderName))
            .entryList({QStringLiteral("*-题目.doc"), QStringLiteral("*-答案.doc")}, QDir::Files);
    if (documents.isEmpty())
        return {};
    return QStringLiteral(
               "找不到试题库文件：\r%1\r\r试题源文件夹里还有 %2 个试题文档，它们的试题记录都在这个试题库文件里。"
               "为了不让这些文档被当作废弃的文档删掉，本程序没有新建空的试题库。\r"
               "请把原来的试题库文件放回程序文件夹，然后重新启动本程序；如果确实要从空的试题库重新开始，"
               "请先把“试题源文件”文件夹移到别处。")
        .arg(QDir::toNativeSeparators(QFileInfo(bank).absoluteFilePath()))
        .arg(documents.size());
}

bool AppFolder::bankHoldsNoQuestion() const {
    try {
        Bank bank(file(kBankFileName), Bank::Mode::ReadOnly);
        return questionNumbersOf(bank).isEmpty();
    } catch (const StoreError&) {
        return false;  // the checks of the bank tell what is wrong with it
    }
}

QStringList AppFolder::prepare(Office& office) {
    QStringList created;
    if (!QDir().mkpath(dir_))
        throw StoreError(QStringLiteral("无法建立程序文件夹：%1").arg(QDir::toNativeSeparators(dir_)));
    auto need = [&](const QString& name) { return !QFileInfo::exists(file(name)); };
    auto copyResource = [&](const QString& name, const QString& resource) {
        if (!need(name))
            return;
        if (!QFile::copy(resource, file(name)))
            throw StoreError(QStringLiteral("无法写入文件：%1").arg(QDir::toNativeSeparators(file(name))));
        QFile(file(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        created << name;
    };

    if (need(kBankFileName) && missingBankProblem().isEmpty()) {
        Bank::create(file(kBankFileName));
        created << kBankFileName;
    }
    // Beside a bank that holds questions a missing documents folder is not made
    // anew: an empty folder would hide that the questions' documents are gone.
    if (need(kDocumentsFolderName) && bankHoldsNoQuestion()) {
        if (!QDir(dir_).mkdir(kDocumentsFolderName))
            throw StoreError(
                QStringLiteral("无法建立文件夹：%1").arg(QDir::toNativeSeparators(file(kDocumentsFolderName))));
        created << kDocumentsFolderName;
    }
    if (need(kExportTemplateName)) {
        Bank::createExportTemplate(file(kExportTemplateName));
        created << kExportTemplateName;
    }
    const QList<QPair<QString, QString>> papers = {{kPaperTemplateName, QStringLiteral("试卷")},
                                                   {kAnswerTemplateName, QStringLiteral("参考答案")},
                                                   {kReviewTemplateName, QStringLiteral("讲评卷")}};
    for (const auto& [name, kind] : papers)
        if (need(name)) {
            writePaperTemplate(office, file(name), kind);
            created << name;
        }
    if (need(kWorkbookTemplateName)) {
        writeWorkbookTemplate(office, file(kWorkbookTemplateName));
        created << kWorkbookTemplateName;
    }
    if (need(kHelpDocumentName)) {
        // The tutorial with pictures of the screens ships with the program; the
        // text alone is written when it does not.
        if (QFileInfo::exists(kShippedTutorial))
            copyResource(kHelpDocumentName, kShippedTutorial);
        else {
            writeTutorial(office, file(kHelpDocumentName));
            created << kHelpDocumentName;
        }
    }
    copyResource(kSplashPictureName, QStringLiteral(":/appfolder/splash.png"));
    copyResource(kHomePageName, QStringLiteral(":/appfolder/homepage.html"));
    return created;
}

}  // namespace zs
