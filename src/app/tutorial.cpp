#include "app/tutorial.h"

#include "office/office.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

namespace zs {

namespace {

TutorialBlock text(const QString& paragraph) {
    return {paragraph, {}};
}
TutorialBlock picture(const QString& name, const QString& caption) {
    return {QString(), {name, caption}};
}

}  // namespace

QList<TutorialChapter> tutorialChapters() {
    return {
        {QStringLiteral("一、开始使用"),
         {text(QStringLiteral(
              "琢石-试题库是一个给教师用的试题库和组卷程序。每道试题由一个题目文档和一个答案文档组成，按教材目录"
              "（科目、教材版本、年级、上下册、章、节、知识点）归档，并记下题型、难度、试题来源和录入教师。"
              "组卷时，程序把选好的题目排成一张“双向细目表”，再一次生成试卷、参考答案、讲评卷和双向细目表。")),
          text(QStringLiteral("程序启动后先显示启动画面，七秒后出现“用户登录”界面。")),
          picture(QStringLiteral("splash"), QStringLiteral("图1 启动画面")),
          text(QStringLiteral(
              "第一次使用时点“注  册”，实名填写用户名、密码（输入两次）、QQ 号码、学校和学科，点“提交注册”。"
              "注册成功后回到登录界面，输入实名用户名和密码，点“确  定”。忘记密码时点密码框旁边的“？”，"
              "填写注册时的用户名、学校、学科和 QQ 号码，就能取回密码。")),
          picture(QStringLiteral("login"), QStringLiteral("图2 用户登录")),
          text(QStringLiteral(
              "登录后进入主界面。左边“系统”一组是教材设置、题源设置和退出程序；“试题”一组是题库分享、试题录入和"
              "查看修改；“试卷”一组是手动组卷和智能组卷。菜单栏里还有用户注册、用户改密、退出登录（换一位老师登录）"
              "和使用帮助。下面的状态栏显示当前用户。")),
          picture(QStringLiteral("mainmenu"), QStringLiteral("图3 主界面"))}},
        {QStringLiteral("二、教材设置"),
         {text(QStringLiteral(
              "试题要归到教材的某一节下面，所以先建立教材目录。点“教材设置”，七个列表从左到右依次是科目、教材版本、"
              "年级、上下册、章、节和知识点。单击左边的一项，右边的列表就显示它下面的内容。")),
          picture(QStringLiteral("catalogue"), QStringLiteral("图4 教材设置")),
          text(QStringLiteral(
              "每一级下面都有“增加”“更改”“删除”按钮。增加某一级时，要先在左边各列表中选好上一级。名称必须写成"
              "“数字-名称”的形式，例如 1-初中数学、1-人教版、7-七年级、1-上册、1-第一章 有理数、1-1.1 正数和负数、"
              "1-正数的概念；前面的数字决定列表中的顺序。")),
          text(QStringLiteral(
              "更改或删除一项会同时更改或删除它下面的全部设置，程序会先提醒并请你确认；已经录入的试题不受影响。"
              "“打开外部教材”可以查看和整理另一个题库文件的教材目录。"))}},
        {QStringLiteral("三、题源设置"),
         {text(QStringLiteral(
              "点“题源设置”维护试题来源，例如 1-期中考试、2-期末考试、3-课后练习、4-中考真题。名称同样写成"
              "“数字-名称”。录入试题时从这里选择来源，组卷时也可以按来源挑题。")),
          picture(QStringLiteral("sources"), QStringLiteral("图5 题源设置"))}},
        {QStringLiteral("四、试题录入"),
         {text(
              QStringLiteral("点“试题录入”。程序先准备一批空闲的试题编号（进度条走完即可），然后打开“试题录入”界面。")),
          picture(QStringLiteral("numbers"), QStringLiteral("图6 准备试题编号")),
          text(QStringLiteral("左边是考查范围树：勾选试题所属的节。只能勾选最下一级的节，勾选章或更上一级会被撤销并提示"
                              "“请勾选更详细的考查范围！”。一道题可以同时勾选几个节。")),
          text(QStringLiteral(
              "单击一个已勾选的节，中间的“待选知识点”列表显示这一节的知识点；单击一个知识点，它就移到“已选知识点”，"
              "再单击可以移回去。每个勾选的节都至少要选一个知识点。")),
          text(QStringLiteral(
              "在树下面选择题型、难度和试题来源。右边是这道题的两个文档：点“编辑”，在文字处理程序中写好题目和答案"
              "（可以插入图片和公式）并保存，预览会自动更新。最后点“确定录入”。程序会告诉你试题编号，并为下一题准备好"
              "新的编号。勾选“连续录入时，保持基本参数不变”可以保留题型、难度、来源和考查范围，方便连续录入同一节的"
              "试题，但每道题的知识点要重新选。")),
          picture(QStringLiteral("entry"), QStringLiteral("图7 试题录入")),
          text(QStringLiteral("点“返回主界面”会放弃正在录入的这道题，它的两个文档也一起删除。"))}},
        {QStringLiteral("五、查看修改"),
         {text(QStringLiteral(
              "点“查看修改”。界面打开时显示整个题库的第一道题。在左边设置搜索条件：勾选一个考查范围（勾选章就搜索"
              "整章），选择题型、难度、来源和作者，输入知识点（几个知识点之间用“|”隔开），点“搜   索”。")),
          text(QStringLiteral(
              "用“上一题”“下一题”或“跳转”翻看搜索结果；“定位到题号/识别码”直接找到一道题。中间的树用红色粗体标出"
              "这道题的考查范围，下面是它的知识点；右边显示题目和答案。")),
          picture(QStringLiteral("browse"), QStringLiteral("图8 查看修改")),
          text(QStringLiteral(
              "修改考查范围、知识点、题型、难度或来源后点“确定修改”；题目和答案直接在文档中修改。“删除此题”删除试题"
              "及其两个文档，删除后不能恢复。"))}},
        {QStringLiteral("六、手动组卷"),
         {text(QStringLiteral(
              "点“手动组卷”，出现双向细目表：每一行是试卷中的一道题（一道题归在几个节下时占几行）。双击一行，在弹出的"
              "选题界面中搜索试题，点“选定此题”放入这一行，或者点“选定搜索到的全部题目”把搜索结果全部加到表格后面。")),
          picture(QStringLiteral("picker"), QStringLiteral("图9 为一行选题")),
          picture(QStringLiteral("composition"), QStringLiteral("图10 双向细目表")),
          text(QStringLiteral(
              "在表格上单击右键打开快捷菜单：在当前题目之前插入几行、在最后追加一行、删除当前题目（这道题的各行一起删除"
              "）、"
              "与下一题或上一题对换，或者以这道题为依据生成专项训练（找出知识点相同的题目组成新的表格）。")),
          picture(QStringLiteral("composition-menu"), QStringLiteral("图11 快捷菜单")),
          text(QStringLiteral(
              "“智能排序”先按题型（单选题、多选题、填空题、判断题、计算题、作图题、解答题、作文题）再按难度排列表格；"
              "“调整表格”让列宽和行高适合内容。“保存表格”把双向细目表保存为 Excel 表格，“导入表格”读回以前保存的表格，"
              "题目编号按试题识别码在当前题库中查找。")),
          text(QStringLiteral(
              "表格最后一列是“分值”。点“分值设置”为每种题型设好每小题的分值（例如单选题 3 分），程序把它记在题库里，"
              "以后每份试卷都按它计分，这样的分值显示为灰色。某道题要单独给分时，双击它的“分值”格输入分值（输入 0 "
              "恢复按题型计分）。表格上方随时显示全卷的“总分”。保存表格时分值一起保存，导入时一起读回。"))}},
        {QStringLiteral("七、智能组卷"),
         {text(QStringLiteral(
              "点“智能组卷”。在左边勾选考查范围（勾选章会勾选它的全部节）；勾选需要的题型，用“+”“-”设置每种题型的"
              "题数；用五个滑块设置容易题、较易题、中等题、较难题、困难题所占的比例，总和必须是 100%（显示为黑色）；"
              "还可以限定试题作者、试题来源和最后使用日期。")),
          picture(QStringLiteral("znzj"), QStringLiteral("图12 智能组卷")),
          text(QStringLiteral(
              "点“计算最优方案”。程序在一瞬间找出最接近要求的方案，报告它与要求之间的偏移值（越小越好），然后把方案放进"
              "双向细目表，并按题型和难度排好序。勾选“精细优化”（默认勾选）时，程序会在经典搜索之后继续改进方案，"
              "同一道题不会在试卷中出现两次。")),
          picture(QStringLiteral("znzj-result"), QStringLiteral("图13 智能组卷得到的双向细目表"))}},
        {QStringLiteral("八、生成试卷"),
         {text(QStringLiteral(
              "在双向细目表上方选择是否保存本次用题记录（保存后，每道题的使用次数和最后使用日期会更新，智能组卷可以据此"
              "避开最近用过的题），然后点“生成试卷”。")),
          picture(QStringLiteral("generation"), QStringLiteral("图14 生成试卷")),
          text(QStringLiteral(
              "程序在桌面上建立“试卷方案-琢石-试题库-日期-时间”文件夹，里面有试卷、参考答案、讲评卷和双向细目表，"
              "并把它们打开。试卷按题型分成大题，题目连续编号；讲评卷在每道题前用红色标出试题识别码，页边批注写明"
              "考查范围、知识点和难度，题目后面是蓝色的“参考答案：”。生成后可以直接在文字处理程序中调整和打印。")),
          picture(QStringLiteral("paper-1"), QStringLiteral("图15 生成的试卷（第一页）")),
          picture(QStringLiteral("review-1"), QStringLiteral("图16 生成的讲评卷（第一页）")),
          text(QStringLiteral(
              "点“生成试卷”后先出现“试卷设置”：填写试卷标题、副标题和考试时间，程序在试卷开头写出标题、"
              "“考试时间：120分钟　　满分：100分”和学校、班级、姓名、考号一行；满分是各题分值的合计，填写了“预定总分”"
              "而合计不同时会提醒你。版式可以选 A4 纵向一栏，或者 A3、8K 横向两栏：两栏的试卷每个单页左边有密封线"
              "（“密 封 线 内 不 要 答 题”、虚线和学校、班级、姓名、考号），页脚是“第 X 页 共 Y 页”。还可以同时"
              "生成答题卡，以及每份文档的 Word 2007（.docx）和 PDF 副本。这些设置会记住，下次不用再填；点“取消”"
              "则什么也不生成。")),
          picture(QStringLiteral("paper-settings"), QStringLiteral("图17 试卷设置")),
          text(QStringLiteral(
              "有分值时，大题的标题写成“一、选择题（本题共10小题，每小题3分，共30分）”，各小题分值不同时写成"
              "“（本题共3小题，共14分）”，并在每道题的题号后写出它的分值；参考答案和讲评卷的每道题都写出分值，"
              "例如“1.（3分）”。")),
          picture(QStringLiteral("paper-a3-1"), QStringLiteral("图18 A3 两栏带密封线的试卷（第一页）")),
          picture(QStringLiteral("paper-8k-1"), QStringLiteral("图19 8K 两栏带密封线的试卷（第一页）")),
          text(QStringLiteral(
              "答题卡“答题卡-日期-时间-琢石-试题库.doc”与试卷的题号一致：开头是标题、学校班级姓名和考号方格，"
              "选择题每题一行方框 [A] [B] [C] [D]，判断题 [√] [×]，填空题每题一条横线，其余题型每题一个写明题号和"
              "分值的答题框。")),
          picture(QStringLiteral("sheet-1"), QStringLiteral("图20 答题卡（第一页）"))}},
        {QStringLiteral("九、题库分享"),
         {text(QStringLiteral(
              "点“题库分享”。在“题  库  导  出”页勾选要导出的章节，选择只导出试题、只导出教材设置或两者一起，点"
              "“导     "
              "出”。桌面上会出现“导出试题库-日期时间”文件夹，里面有题库文件和试题文档，把整个文件夹交给同事即可。")),
          picture(QStringLiteral("tkfx-export"), QStringLiteral("图21 题库导出")),
          text(QStringLiteral(
              "在“题  库  导  入”页点“打开外部题库”，选择同事导出的题库文件，勾选要导入的节，选择导入的内容，点"
              "“导     入”。导入的试题得到本题库新的编号；已经有的试题（试题识别码相同）不会重复导入。")),
          picture(QStringLiteral("tkfx-import"), QStringLiteral("图22 题库导入")),
          text(QStringLiteral(
              "勾选“导入时检查相似试题”后，与本题库中已有试题相似度不低于90%的试题会逐题询问是否仍要导入。"))}},
        {QStringLiteral("十、导入试卷"),
         {text(QStringLiteral(
              "已有的 Word 试卷可以一次拆成一道道试题放进试题库。在主界面点“导入试卷”，点“选择试卷”选择一份 .doc 或"
              " .docx 试卷；答案在另一个文档里的，再点“选择答案”选择它（答案写在试卷末尾“参考答案”之后的不用另选）。"
              "然后点“拆分试卷”。")),
          text(QStringLiteral(
              "程序通过文字处理程序读出试卷的段落：“一、选择题（每小题3分）”这样的大题标题决定题型（选择题按单选题，"
              "写明多选或不定项的按多选题）和分值；以“1.”“1．”“1、”“1)”开头的段落开始一道新题，题号在各大题之间"
              "连续，“（1）”这样的小问留在本题里；答案按题号对上。每道题连同其中的图片、表格和公式被复制成题目文档和"
              "答案文档，选中一道题就能在中间预览。")),
          picture(QStringLiteral("paperimport"), QStringLiteral("图23 导入试卷")),
          text(QStringLiteral(
              "请逐题核对：拆错的地方可以用“与上一题合并”，或在“拆分位置”中选一段后点“拆  分”；选中试题后可以"
              "“改为此题型”。“提示”一栏标出没有找到答案的试题，以及与试题库中已有试题相似的试题（例如“与 00123 "
              "相似度 94%”）；相似的试题默认不勾选，导不导入由您决定。")),
          text(QStringLiteral(
              "在右侧勾选考查范围、选择知识点、难度和试题来源，点“应用到全部试题”；个别试题不同的，选中后改好再点"
              "“应用到所选试题”。最后点“确定导入”：勾选的试题用空闲的题目编号写入试题库，出错时一道也不写。")),
          text(QStringLiteral(
              "在“查看修改”界面点“相似试题”，程序列出试题库中相似度不低于90%的试题；选中一对，点“查看这两题”"
              "即可逐题查看、修改或删除。试题录入界面勾选“录入时检查相似试题”后，确定录入前也会检查。第一次检查要"
              "读出试题库中每道题的文字，需要一些时间，以后只读改动过的文档。")),
          picture(QStringLiteral("similar"), QStringLiteral("图24 相似试题"))}},
        {QStringLiteral("十一、导入成绩"),
         {text(QStringLiteral(
              "每次生成试卷，程序都会在题库中记下这份试卷的每道题。考试以后，从阅卷系统导出小题分表（每个学生一行、"
              "每道小题一列，Excel 表格或 CSV "
              "文件均可），在主界面点“导入成绩”，选择考过的试卷（按生成日期和标题列出），"
              "再点“选择成绩表”。")),
          text(QStringLiteral(
              "列名是“1”“第1题”“T1”“1(3分)”之类的列会自动对应到题号；“对应关系”页可以改选每道题的列、填写满分"
              "（不填时取表中最高得分；列名里写了分值的按分值），还可以指定作答选项所在的列。表中不是分数或超过满分的"
              "单元格、缺少的题都列在右边，这些学生不计入统计。")),
          picture(QStringLiteral("results"), QStringLiteral("图25 导入成绩：小题分析")),
          text(QStringLiteral(
              "“小题分析”页列出每道题的平均分、得分率、实测难度（1 − 得分率，按 0.1 取整）、区分度（总分前 27% "
              "与后 27% 学生的平均分之差除以满分）和选项分布，下面的柱形图一目了然。“知识点分析”页按得分率从低到高"
              "列出试卷涉及的知识点，最薄弱的三个标成红色。")),
          text(QStringLiteral(
              "点“更新难度”并确认后，程序把实测难度写入这些题的全部记录（一道题考过多次时按人数加权平均），原来的"
              "难度保存在难度历史中；点“生成补救练习”，输入题数，程序从题库中选出与最薄弱知识点有关、但不在这份"
              "试卷中的题，放进双向细目表，接着就可以生成补救练习卷；点“导出分析”，成绩分析表格保存在这份试卷的"
              "文件夹中。"))}},
        {QStringLiteral("十二、学校题库"),
         {text(QStringLiteral(
              "一个教研组的老师可以共用学校服务器上的一个试题库：大家同时录入、查看修改和组卷，题目编号由服务器统一"
              "分配，不会重复。管理服务器的老师先建好学校题库和第一位元老级用户（见程序说明 README 中的“学校题库”）。"
              "然后每位老师在登录界面点“连接学校题库…”，填写服务器、端口、数据库、用户名和密码，点“连  接”；程序"
              "记住除密码以外的各项，下次只需输入密码。连接后登录界面和主界面的状态栏都显示学校题库的名字，点"
              "“使用本机题库”就回到本机的题库。")),
          picture(QStringLiteral("schoolbank"), QStringLiteral("图26 连接学校题库")),
          text(QStringLiteral(
              "“上传到学校题库”把本机题库的试题、教材设置和试题来源一次传到学校题库，已经有的试题（试题识别码相同）"
              "不重复上传；“下载为本地题库”把学校题库保存成本机的一个题库文件。题库分享的导出和导入在学校题库上"
              "同样可用，试题文档随试题一起导出、导入。两位老师同时修改同一道题时，后点“确定修改”的老师会看到"
              "“该题已被其他老师修改，请重新搜索后再修改。”，重新搜索后再改即可。")),
          text(QStringLiteral(
              "学校题库只保存密码的散列值，忘记的密码无法找回。忘记密码的老师在登录界面点“？”，再点“获取密码”，"
              "程序会提示打开“重设密码”；请一位元老级用户填写自己的用户名和密码、这位老师的用户名和两遍新密码，"
              "点“确认重设”。元老级用户登录后，主界面“系统”菜单里也有“重设密码”。拿到新密码的老师登录后，"
              "请用“用户改密”换成自己的密码。")),
          picture(QStringLiteral("password-reset"), QStringLiteral("图27 重设密码"))}},
    };
}

void writeTutorial(Office& office, const QString& path, const QString& picturesFolder) {
    const auto word = office.startWord();
    const auto doc = word->newDocument();
    doc->append(QStringLiteral("琢石-试题库 使用教程"), songStyle(22, true, TextStyle::Align::Center));
    TextStyle heading = songStyle(15, true, TextStyle::Align::Left);
    heading.keepWithNext = true;
    const TextStyle body = songStyle(12, false, TextStyle::Align::Left);
    const TextStyle caption = songStyle(10.5, false, TextStyle::Align::Center);

    // Pictures go in as JPEG: the tutorial stays small enough to ship.
    QTemporaryDir scratch;
    for (const TutorialChapter& chapter : tutorialChapters()) {
        doc->append(QStringLiteral("\r") + chapter.title, heading);
        for (const TutorialBlock& block : chapter.blocks) {
            if (block.picture.name.isEmpty()) {
                doc->append(QStringLiteral("\r    ") + block.text, body);
                continue;
            }
            const QString png = QDir(picturesFolder).filePath(block.picture.name + QStringLiteral(".png"));
            const QImage image(png);
            if (picturesFolder.isEmpty() || image.isNull())
                continue;
            const QString jpeg = scratch.filePath(block.picture.name + QStringLiteral(".jpg"));
            image.save(jpeg, "JPEG", 85);
            doc->append(QStringLiteral("\r"), caption);
            const bool page = (block.picture.name.startsWith(u"paper") && block.picture.name != u"paper-settings") ||
                              block.picture.name.startsWith(u"review") || block.picture.name.startsWith(u"sheet");
            // Landscape pages (A3, 8K) take the whole width of the text.
            const double widthMm =
                page ? (image.width() > image.height() ? 160 : 120) : qMin(160.0, image.width() * 0.12);
            doc->appendPicture(jpeg, widthMm);
            doc->append(QStringLiteral("\r") + block.picture.caption, caption);
        }
    }
    doc->saveAs(path);
    doc->close();
}

}  // namespace zs
