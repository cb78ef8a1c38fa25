#include "app/appfolder.h"

#include "store/bank.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zs {

namespace {

struct Chapter {
    QString title;
    QStringList paragraphs;
};

// The tutorial a new teacher reads, one chapter per command of the main menu in
// the order they are needed.
QList<Chapter> tutorial() {
    return {
        {QStringLiteral("一、开始使用"),
         {QStringLiteral("琢石-试题库是一个给教师用的试题库和组卷程序。每道试题由一个题目文档和一个答案文档组成，"
                         "按教材目录归档，并记下题型、难度、来源和录入教师。"),
          QStringLiteral("程序启动后先显示启动画面，七秒后出现“用户登录”界面。第一次使用时点“注  册”，"
                         "实名填写用户名、密码、学校、学科和 QQ 号码；注册成功后回到登录界面，输入实名用户名和密码，"
                         "点“确  定”进入主界面。忘记密码时点登录界面上的“？”，填写注册时的信息即可取回密码。"),
          QStringLiteral("主界面分“系统”“试题”“试卷”三组按钮，菜单栏里还有用户注册、用户改密、退出登录和使用帮助。")}},
        {QStringLiteral("二、教材设置"),
         {QStringLiteral("点“教材设置”。七个列表从左到右依次是科目、教材版本、年级、上下册、章、节、知识点。"
                         "选中左边的一项，右边的列表就显示它下面的内容。"),
          QStringLiteral("每一级都有“增加”“更改”“删除”按钮。名称必须写成“数字-名称”的形式，例如 1-初中数学、"
                         "2-人教版、3-第三章 一元一次方程。数字决定列表中的顺序。"),
          QStringLiteral("更改或删除一项会同时更改或删除它下面的全部设置，程序会先提醒并请你确认。"
                         "已经录入的试题不受影响。“打开外部教材”可以查看另一个题库文件的教材设置。")}},
        {QStringLiteral("三、题源设置"),
         {QStringLiteral("点“题源设置”，维护试题来源，例如 1-期中考试、2-期末考试、3-课后练习、4-中考真题。"
                         "名称同样写成“数字-名称”。")}},
        {QStringLiteral("四、试题录入"),
         {QStringLiteral("点“试题录入”。程序先准备一批空闲的试题编号（进度条走完即可），然后打开“试题录入”界面。"),
          QStringLiteral("在左边的考查范围树里勾选试题所属的节（只能勾选最下一级的节；一道题可以勾选几个节）。"
                         "点中一个已勾选的节，下面的“待选知识点”列表显示这一节的知识点，单击一个知识点把它移到“已选知识点”。"
                         "每个勾选的节至少要选一个知识点。"),
          QStringLiteral("选择题型、难度和试题来源。在右边的“题目”和“答案”区域点“编辑”，在文字处理程序中写好题目和答案并保存，"
                         "预览会自动更新。最后点“确定录入”。勾选“连续录入时，保持基本参数不变”可以保留题型、难度、来源和考查范围，"
                         "方便连续录入同一节的试题。")}},
        {QStringLiteral("五、查看修改"),
         {QStringLiteral("点“查看修改”。在左上角设置搜索条件：考查范围（勾选一项）、题型、难度、来源、作者和知识点"
                         "（几个知识点之间用“|”隔开），点“搜   索”。"),
          QStringLiteral("用“上一题”“下一题”或“跳转”翻看搜索结果，“定位到题号/识别码”直接找到一道题。"
                         "右边显示题目和答案，下面的树用红色粗体标出这道题的考查范围。"),
          QStringLiteral("修改考查范围、知识点、题型、难度或来源后点“确定修改”；“删除此题”删除试题及其两个文档，删除后不能恢复。")}},
        {QStringLiteral("六、手动组卷"),
         {QStringLiteral("点“手动组卷”，出现双向细目表：每一行是试卷中的一道题。双击一行，在弹出的选题界面中搜索试题，"
                         "点“选定此题”放入这一行，或者点“选定搜索到的全部题目”把搜索结果全部加到表格后面。"),
          QStringLiteral("在表格上单击右键可以插入空行、追加一行、删除、与上一题或下一题对换，或者以这道题为依据生成专项训练。"
                         "“智能排序”按题型、再按难度排列表格；“调整表格”让列宽和行高适合内容。"),
          QStringLiteral("“保存表格”把双向细目表保存为 Excel 表格，“导入表格”读回以前保存的表格。")}},
        {QStringLiteral("七、智能组卷"),
         {QStringLiteral("点“智能组卷”。勾选考查范围，勾选需要的题型并用“+”“-”设置每种题型的题数，"
                         "用五个滑块设置容易题、较易题、中等题、较难题、困难题所占的比例（总和必须是 100%），"
                         "还可以限定试题作者、试题来源和最后使用日期。"),
          QStringLiteral("点“计算最优方案”，程序在一瞬间找出最接近要求的试卷方案，报告它与要求的偏移值（越小越好），"
                         "然后把方案放进双向细目表并排好序。")}},
        {QStringLiteral("八、生成试卷"),
         {QStringLiteral("在双向细目表下面选择是否保存本次用题记录，然后点“生成试卷”。程序在桌面上建立一个"
                         "“试卷方案-琢石-试题库-日期-时间”文件夹，里面有试卷、参考答案、讲评卷和双向细目表。"),
          QStringLiteral("试卷按题型分大题并编号；讲评卷在每道题前用红色标出试题识别码，并在页边批注中写明考查范围、知识点和难度。"
                         "生成后可以直接在文字处理程序中调整和打印。")}},
        {QStringLiteral("九、题库分享"),
         {QStringLiteral("点“题库分享”。在“题  库  导  出”页勾选要导出的章节，选择导出试题、教材设置或两者，点“导     出”，"
                         "桌面上会出现“导出试题库-日期时间”文件夹，把它交给同事即可。"),
          QStringLiteral("在“题  库  导  入”页点“打开外部题库”，选择同事导出的题库文件，勾选要导入的节，点“导     入”。"
                         "已经有的试题（试题识别码相同）不会重复导入。")}},
    };
}

}  // namespace

AppFolder::AppFolder(QString dir) : dir_(std::move(dir)) {}

QString AppFolder::file(const QString& name) const { return QDir(dir_).filePath(name); }

QStringList AppFolder::expectedNames() {
    return {kBankFileName,     kDocumentsFolderName,  kPaperTemplateName, kAnswerTemplateName,
            kReviewTemplateName, kExportTemplateName, kWorkbookTemplateName, kHelpDocumentName,
            kSplashPictureName, kHomePageName};
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
    TextStyle title;
    title.bold = true;
    title.pointSize = 18;
    title.fontName = QStringLiteral("宋体");
    title.align = TextStyle::Align::Center;
    doc->append(QStringLiteral("__________学校 ______学年度第___学期"), title);
    title.pointSize = 22;
    doc->append(QStringLiteral("\r__________ %1").arg(kind), title);
    TextStyle line;
    line.fontName = QStringLiteral("宋体");
    line.pointSize = 12;
    line.align = TextStyle::Align::Center;
    if (kind == u"试卷")
        doc->append(QStringLiteral("\r（考试时间：______分钟    满分：______分）\r"
                                   "姓名：__________  班级：__________  学号：__________  得分：__________"),
                    line);
    else if (kind == u"参考答案")
        doc->append(QStringLiteral("\r（本参考答案与同名试卷配套使用）"), line);
    else
        doc->append(QStringLiteral("\r（讲评用：每题前的红色编号为试题识别码，页边批注写明考查范围、知识点和难度）"), line);
    TextStyle body;
    body.fontName = QStringLiteral("宋体");
    body.pointSize = 12;
    body.align = TextStyle::Align::Left;
    doc->append(QStringLiteral("\r\r"), body);
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

void AppFolder::writeHelpDocument(Office& office, const QString& path) {
    const auto word = office.startWord();
    const auto doc = word->newDocument();
    TextStyle title;
    title.bold = true;
    title.pointSize = 22;
    title.fontName = QStringLiteral("宋体");
    title.align = TextStyle::Align::Center;
    doc->append(QStringLiteral("琢石-试题库 使用教程"), title);
    TextStyle heading;
    heading.bold = true;
    heading.pointSize = 15;
    heading.fontName = QStringLiteral("宋体");
    heading.align = TextStyle::Align::Left;
    TextStyle body;
    body.pointSize = 12;
    body.fontName = QStringLiteral("宋体");
    body.align = TextStyle::Align::Left;
    for (const Chapter& chapter : tutorial()) {
        doc->append(QStringLiteral("\r") + chapter.title, heading);
        for (const QString& p : chapter.paragraphs)
            doc->append(QStringLiteral("\r    ") + p, body);
    }
    doc->saveAs(path);
    doc->close();
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

    if (need(kBankFileName)) {
        Bank::create(file(kBankFileName));
        created << kBankFileName;
    }
    if (need(kDocumentsFolderName)) {
        if (!QDir(dir_).mkdir(kDocumentsFolderName))
            throw StoreError(QStringLiteral("无法建立文件夹：%1").arg(QDir::toNativeSeparators(file(kDocumentsFolderName))));
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
        writeHelpDocument(office, file(kHelpDocumentName));
        created << kHelpDocumentName;
    }
    copyResource(kSplashPictureName, QStringLiteral(":/appfolder/splash.png"));
    copyResource(kHomePageName, QStringLiteral(":/appfolder/homepage.html"));
    return created;
}

}  // namespace zs
