// Workbooks in LibreOffice Calc.

#include "office/lodocuments.h"
#include "office/lowriter.h"
#include "office/unosupport.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>
#include <com/sun/star/awt/Rectangle.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/chart/XChartDocument.hpp>
#include <com/sun/star/chart/XDiagram.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XEmbeddedObjectSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableCharts.hpp>
#include <com/sun/star/table/XTableChartsSupplier.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>

namespace zs {

namespace {

using css::beans::XPropertySet;
using css::uno::Any;
using css::uno::Sequence;

constexpr double kHundredthMmPerPoint = 2540.0 / 72.0;
constexpr sal_Int16 kThinLine = 26;  // 0.75 pt in 1/100 mm

sal_Int32 unoColor(QRgb c) {
    return sal_Int32((qRed(c) << 16) | (qGreen(c) << 8) | qBlue(c));
}

css::table::BorderLine2 thinLine() {
    css::table::BorderLine2 line;
    line.Color = 0;
    line.LineStyle = css::table::BorderLineStyle::SOLID;
    line.OuterLineWidth = kThinLine;
    line.LineWidth = kThinLine;
    return line;
}

int columnOfLetters(const QString& letters) {
    int n = 0;
    for (QChar c : letters.trimmed().toUpper())
        n = n * 26 + (c.unicode() - 'A' + 1);
    return n;
}

class LoWorkbook : public Workbook {
public:
    LoWorkbook(std::shared_ptr<OpenDocuments> book, Reference<css::lang::XComponent> component, QString path)
        : book_(std::move(book)), component_(std::move(component)), path_(std::move(path)) {
        document_.set(component_, UNO_QUERY);
        if (!document_.is())
            throw OfficeError(QStringLiteral("这不是一个电子表格：%1").arg(path_));
        book_->add(this, [this] { closeQuietly(); });
    }
    ~LoWorkbook() override {
        book_->remove(this);
        closeQuietly();
    }

    QString path() const override { return path_; }

    void saveAs(const QString& path) override {
        call([] {});
        unoCall(QStringLiteral("无法保存表格：%1").arg(path), [&] {
            const QString suffix = QFileInfo(path).suffix().toLower();
            const OUString filter = suffix == u"xls"    ? OUString("MS Excel 97")
                                    : suffix == u"xlsx" ? OUString("Calc MS Excel 2007 XML")
                                                        : OUString("calc8");
            Reference<css::frame::XStorable> s(component_, UNO_QUERY_THROW);
            s->storeAsURL(fileUrl(path),
                          properties({property("FilterName", Any(filter)), property("Overwrite", Any(true))}));
        });
        path_ = path;
    }

    void save() override {
        if (path_.isEmpty())
            throw OfficeError(QStringLiteral("表格还没有保存位置，无法保存。"));
        saveAs(path_);
    }

    void close() override {
        book_->remove(this);
        closeQuietly();
    }

    QStringList sheetNames() override {
        return call([&] {
            QStringList out;
            for (const OUString& n : document_->getSheets()->getElementNames())
                out << toQ(n);
            return out;
        });
    }

    bool hasSheet(const QString& sheet) override {
        return call([&] { return findSheetName(sheet).has_value(); });
    }

    QString cellText(const QString& sheet, int row, int column) override {
        return call(
            [&] { return toQ(Reference<css::text::XText>(cell(sheet, row, column), UNO_QUERY_THROW)->getString()); });
    }

    void setCellText(const QString& sheet, int row, int column, const QString& text) override {
        call([&] { Reference<css::text::XText>(cell(sheet, row, column), UNO_QUERY_THROW)->setString(toOU(text)); });
    }

    std::optional<QRgb> cellBackground(const QString& sheet, int row, int column) override {
        return call([&]() -> std::optional<QRgb> {
            const auto p = cellProps(sheet, row, column);
            const sal_Int32 v = p->getPropertyValue("CellBackColor").get<sal_Int32>();
            if (v == -1 || p->getPropertyValue("IsCellBackgroundTransparent").get<bool>())
                return std::nullopt;
            return qRgb((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        });
    }

    void setCellBackground(const QString& sheet, int row, int column, std::optional<QRgb> color) override {
        call([&] {
            const auto p = cellProps(sheet, row, column);
            p->setPropertyValue("CellBackColor", Any(color ? unoColor(*color) : sal_Int32(-1)));
            p->setPropertyValue("IsCellBackgroundTransparent", Any(!color.has_value()));
        });
    }

    double fontSize(const QString& sheet, int row, int column) override {
        return call([&] { return double(cellProps(sheet, row, column)->getPropertyValue("CharHeight").get<float>()); });
    }

    void setFontSize(const QString& sheet, int row, int column, double points) override {
        call([&] {
            const auto p = cellProps(sheet, row, column);
            p->setPropertyValue("CharHeight", Any(float(points)));
            p->setPropertyValue("CharHeightAsian", Any(float(points)));
        });
    }

    CellBorders borders(const QString& sheet, int row, int column) override {
        return call([&] {
            const auto p = cellProps(sheet, row, column);
            auto drawn = [&](const char* name) {
                const auto line = p->getPropertyValue(OUString::createFromAscii(name)).get<css::table::BorderLine2>();
                return line.LineStyle == css::table::BorderLineStyle::SOLID &&
                       (line.OuterLineWidth > 0 || line.LineWidth > 0);
            };
            return CellBorders{drawn("LeftBorder"), drawn("TopBorder"), drawn("BottomBorder"), drawn("RightBorder")};
        });
    }

    void setContinuousBorders(const QString& sheet, int row, int column) override {
        call([&] {
            const css::table::BorderLine2 line = thinLine();
            const auto p = cellProps(sheet, row, column);
            for (const char* name : {"LeftBorder", "TopBorder", "BottomBorder", "RightBorder"})
                p->setPropertyValue(OUString::createFromAscii(name), Any(line));
        });
    }

    double rowHeight(const QString& sheet, int row) override {
        return call(
            [&] { return rowProps(sheet, row)->getPropertyValue("Height").get<sal_Int32>() / kHundredthMmPerPoint; });
    }

    void setRowHeight(const QString& sheet, int row, double points) override {
        call([&] {
            rowProps(sheet, row)
                ->setPropertyValue("Height", Any(sal_Int32(std::lround(points * kHundredthMmPerPoint))));
        });
    }

    double columnWidth(const QString& sheet, int column) override {
        return call([&] {
            return columnProps(sheet, column)->getPropertyValue("Width").get<sal_Int32>() / kHundredthMmPerPoint;
        });
    }

    void setColumnWidth(const QString& sheet, int column, double points) override {
        call([&] {
            columnProps(sheet, column)
                ->setPropertyValue("Width", Any(sal_Int32(std::lround(points * kHundredthMmPerPoint))));
        });
    }

    void fitColumns(const QString& sheet, const QString& letterRange) override {
        const QStringList ends = letterRange.split(u':');
        const int first = columnOfLetters(ends.value(0));
        const int last = columnOfLetters(ends.value(1, ends.value(0)));
        call([&] {
            for (int c = first; c <= last; ++c)
                columnProps(sheet, c)->setPropertyValue("OptimalWidth", Any(true));
        });
    }

    void mergeCells(const QString& sheet, int row, int firstColumn, int lastColumn) override {
        call([&] {
            Reference<css::table::XCellRange> range(sheetRef(sheet), UNO_QUERY_THROW);
            Reference<css::util::XMergeable> m(
                range->getCellRangeByPosition(firstColumn - 1, row - 1, lastColumn - 1, row - 1), UNO_QUERY_THROW);
            m->merge(true);
        });
    }

    void setBold(const QString& sheet, int row, int column, bool bold) override {
        call([&] {
            const auto p = cellProps(sheet, row, column);
            p->setPropertyValue("CharWeight", Any(bold ? 150.0f : 100.0f));
            p->setPropertyValue("CharWeightAsian", Any(bold ? 150.0f : 100.0f));
        });
    }

    void setCellTexts(const QString& sheet, int row, int column, const QList<QStringList>& rows) override {
        if (rows.isEmpty())
            return;
        int width = 0;
        for (const QStringList& r : rows)
            width = qMax(width, int(r.size()));
        if (width == 0)
            return;
        call([&] {
            Sequence<Sequence<Any>> data(sal_Int32(rows.size()));
            auto* out = data.getArray();
            for (int i = 0; i < rows.size(); ++i) {
                Sequence<Any> line(width);
                auto* cells = line.getArray();
                for (int j = 0; j < width; ++j)
                    cells[j] <<= toOU(rows[i].value(j));
                out[i] = line;
            }
            Reference<css::sheet::XCellRangeData>(
                range(sheet, row, column, row + int(rows.size()) - 1, column + width - 1), UNO_QUERY_THROW)
                ->setDataArray(data);
        });
    }

    QList<QStringList> cellTexts(const QString& sheet, int row, int column, int rows, int columns) override {
        if (rows <= 0 || columns <= 0)
            return {};
        return call([&] {
            QList<QStringList> out;
            const Reference<css::sheet::XCellRangeData> data(
                range(sheet, row, column, row + rows - 1, column + columns - 1), UNO_QUERY_THROW);
            for (const Sequence<Any>& line : data->getDataArray()) {
                QStringList texts;
                for (const Any& value : line) {
                    OUString text;
                    double number = 0;
                    if (value >>= text)
                        texts << toQ(text);
                    else if (value >>= number)
                        texts << QString::number(number, 'g', 15);
                    else
                        texts << QString();
                }
                out << texts;
            }
            return out;
        });
    }

    CellArea usedArea(const QString& sheet) override {
        return call([&] {
            const Reference<css::sheet::XSheetCellCursor> cursor = sheetRef(sheet)->createCursor();
            const Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
            used->gotoEndOfUsedArea(false);
            const css::table::CellRangeAddress end =
                Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
            CellArea area{int(end.EndRow) + 1, int(end.EndColumn) + 1};
            // An empty sheet reports its first cell.
            if (area.rows == 1 && area.columns == 1 &&
                Reference<css::text::XText>(cell(sheet, 1, 1), UNO_QUERY_THROW)->getString().isEmpty())
                return CellArea{};
            return area;
        });
    }

    void setRangeBackground(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn,
                            std::optional<QRgb> color) override {
        call([&] {
            const Reference<XPropertySet> p(range(sheet, firstRow, firstColumn, lastRow, lastColumn), UNO_QUERY_THROW);
            p->setPropertyValue("CellBackColor", Any(color ? unoColor(*color) : sal_Int32(-1)));
            p->setPropertyValue("IsCellBackgroundTransparent", Any(!color.has_value()));
        });
    }

    void setRangeFontSize(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn,
                          double points) override {
        call([&] {
            const Reference<XPropertySet> p(range(sheet, firstRow, firstColumn, lastRow, lastColumn), UNO_QUERY_THROW);
            p->setPropertyValue("CharHeight", Any(float(points)));
            p->setPropertyValue("CharHeightAsian", Any(float(points)));
        });
    }

    void setRangeBorders(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn) override {
        call([&] {
            const Reference<XPropertySet> p(range(sheet, firstRow, firstColumn, lastRow, lastColumn), UNO_QUERY_THROW);
            const css::table::BorderLine2 line = thinLine();
            for (const char* name : {"LeftBorder", "TopBorder", "BottomBorder", "RightBorder"})
                p->setPropertyValue(OUString::createFromAscii(name), Any(line));
            // The lines between the cells inside the rectangle.
            css::table::TableBorder2 table;
            table.TopLine = table.BottomLine = table.LeftLine = table.RightLine = line;
            table.HorizontalLine = table.VerticalLine = line;
            table.IsTopLineValid = table.IsBottomLineValid = table.IsLeftLineValid = table.IsRightLineValid = true;
            table.IsHorizontalLineValid = table.IsVerticalLineValid = true;
            p->setPropertyValue("TableBorder2", Any(table));
        });
    }

    void setRowHeights(const QString& sheet, int firstRow, int lastRow, double points) override {
        call([&] {
            Reference<css::table::XColumnRowRange> rows(range(sheet, firstRow, 1, lastRow, 1), UNO_QUERY_THROW);
            Reference<XPropertySet>(rows->getRows(), UNO_QUERY_THROW)
                ->setPropertyValue("Height", Any(sal_Int32(std::lround(points * kHundredthMmPerPoint))));
        });
    }

    bool isWrapped(const QString& sheet, int row, int column) override {
        return call([&] { return cellProps(sheet, row, column)->getPropertyValue("IsTextWrapped").get<bool>(); });
    }

    void setRangeWrapped(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn) override {
        call([&] {
            Reference<XPropertySet>(range(sheet, firstRow, firstColumn, lastRow, lastColumn), UNO_QUERY_THROW)
                ->setPropertyValue("IsTextWrapped", Any(true));
        });
    }

    void fitRowHeights(const QString& sheet, int firstRow, int lastRow, double minimumPoints) override {
        call([&] {
            Reference<css::table::XColumnRowRange> rows(range(sheet, firstRow, 1, lastRow, 1), UNO_QUERY_THROW);
            Reference<XPropertySet>(rows->getRows(), UNO_QUERY_THROW)->setPropertyValue("OptimalHeight", Any(true));
            const sal_Int32 minimum = sal_Int32(std::lround(minimumPoints * kHundredthMmPerPoint));
            for (int r = firstRow; r <= lastRow; ++r) {
                const auto p = rowProps(sheet, r);
                if (p->getPropertyValue("Height").get<sal_Int32>() < minimum)
                    p->setPropertyValue("Height", Any(minimum));
            }
        });
    }

    PrintLayout printLayout(const QString& sheet) override {
        return call([&] {
            const auto style = pageStyle(sheet);
            PrintLayout layout;
            layout.landscape = style->getPropertyValue("IsLandscape").get<bool>();
            layout.pagesWide = style->getPropertyValue("ScaleToPagesX").get<sal_Int16>();
            layout.pagesTall = style->getPropertyValue("ScaleToPagesY").get<sal_Int16>();
            Reference<css::sheet::XPrintAreas> areas(sheetRef(sheet), UNO_QUERY_THROW);
            if (areas->getPrintTitleRows()) {
                const css::table::CellRangeAddress titles = areas->getTitleRows();
                layout.titleRows = titles.StartRow == 0 ? int(titles.EndRow) + 1 : 0;
            }
            return layout;
        });
    }

    void setPrintLayout(const QString& sheet, const PrintLayout& layout) override {
        call([&] {
            const auto style = pageStyle(sheet);
            if (style->getPropertyValue("IsLandscape").get<bool>() != layout.landscape) {
                // The paper turns: its width and height change places.
                const auto size = style->getPropertyValue("Size").get<css::awt::Size>();
                style->setPropertyValue("IsLandscape", Any(layout.landscape));
                if ((size.Width > size.Height) != layout.landscape)
                    style->setPropertyValue("Size", Any(css::awt::Size(size.Height, size.Width)));
            }
            style->setPropertyValue("ScaleToPagesX", Any(sal_Int16(layout.pagesWide)));
            style->setPropertyValue("ScaleToPagesY", Any(sal_Int16(layout.pagesTall)));
            Reference<css::sheet::XPrintAreas> areas(sheetRef(sheet), UNO_QUERY_THROW);
            if (layout.titleRows > 0) {
                css::table::CellRangeAddress titles;
                titles.Sheet = sheetIndex(sheet);
                titles.StartRow = 0;
                titles.EndRow = layout.titleRows - 1;
                areas->setTitleRows(titles);
            }
            areas->setPrintTitleRows(layout.titleRows > 0);
        });
    }

    bool isSheetVisible(const QString& sheet) override {
        return call([&] {
            return Reference<XPropertySet>(sheetRef(sheet), UNO_QUERY_THROW)->getPropertyValue("IsVisible").get<bool>();
        });
    }

    void setSheetVisible(const QString& sheet, bool visible) override {
        call([&] {
            Reference<XPropertySet>(sheetRef(sheet), UNO_QUERY_THROW)->setPropertyValue("IsVisible", Any(visible));
        });
    }

    void addSheet(const QString& sheet) override {
        call([&] {
            const auto sheets = document_->getSheets();
            sheets->insertNewByName(toOU(sheet), sal_Int16(sheets->getElementNames().getLength()));
        });
    }

    void addColumnChart(const QString& sheet, const QString& name, int firstRow, int firstColumn, int lastRow,
                        int lastColumn, double leftMm, double topMm, double widthMm, double heightMm,
                        const QString& title) override {
        call([&] {
            Reference<css::table::XTableChartsSupplier> supplier(sheetRef(sheet), UNO_QUERY_THROW);
            const Reference<css::table::XTableCharts> charts = supplier->getCharts();
            const css::awt::Rectangle place(sal_Int32(leftMm * 100), sal_Int32(topMm * 100), sal_Int32(widthMm * 100),
                                            sal_Int32(heightMm * 100));
            const css::table::CellRangeAddress range(sheetIndex(sheet), firstColumn - 1, firstRow - 1, lastColumn - 1,
                                                     lastRow - 1);
            charts->addNewByName(toOU(name), place, Sequence<css::table::CellRangeAddress>(&range, 1), true, true);
            Reference<css::document::XEmbeddedObjectSupplier> embedded(charts->getByName(toOU(name)), UNO_QUERY_THROW);
            Reference<css::chart::XChartDocument> chart(embedded->getEmbeddedObject(), UNO_QUERY_THROW);
            Reference<css::lang::XMultiServiceFactory> factory(chart, UNO_QUERY_THROW);
            chart->setDiagram(Reference<css::chart::XDiagram>(factory->createInstance("com.sun.star.chart.BarDiagram"),
                                                              UNO_QUERY_THROW));
            Reference<XPropertySet> props(chart, UNO_QUERY_THROW);
            props->setPropertyValue("HasMainTitle", Any(true));
            Reference<XPropertySet>(chart->getTitle(), UNO_QUERY_THROW)->setPropertyValue("String", Any(toOU(title)));
        });
    }

    QStringList chartNames(const QString& sheet) override {
        return call([&] {
            Reference<css::table::XTableChartsSupplier> supplier(sheetRef(sheet), UNO_QUERY_THROW);
            QStringList names;
            for (const OUString& n : supplier->getCharts()->getElementNames())
                names << toQ(n);
            return names;
        });
    }

    void renameSheet(const QString& from, const QString& to) override {
        call([&] { Reference<css::container::XNamed>(sheetRef(from), UNO_QUERY_THROW)->setName(toOU(to)); });
    }

    void activateSheet(const QString& sheet) override {
        call([&] {
            Reference<css::frame::XModel> model(component_, UNO_QUERY_THROW);
            Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
            if (view.is())
                view->setActiveSheet(sheetRef(sheet));
        });
    }

    QString activeSheet() override {
        return call([&] {
            Reference<css::frame::XModel> model(component_, UNO_QUERY_THROW);
            Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
            if (!view.is())
                return QString();
            return toQ(Reference<css::container::XNamed>(view->getActiveSheet(), UNO_QUERY_THROW)->getName());
        });
    }

private:
    template <typename F> auto call(F&& f) -> decltype(f()) {
        if (!document_.is())
            throw OfficeError(QStringLiteral("表格已经关闭：%1").arg(path_));
        return unoCall(QStringLiteral("表格操作失败：%1").arg(path_), std::forward<F>(f));
    }

    // Sheet names are looked up as Excel does: without regard to case.
    std::optional<OUString> findSheetName(const QString& sheet) {
        const auto names = document_->getSheets()->getElementNames();
        for (const OUString& n : names)
            if (toQ(n) == sheet)
                return n;
        for (const OUString& n : names)
            if (toQ(n).compare(sheet, Qt::CaseInsensitive) == 0)
                return n;
        return std::nullopt;
    }

    Reference<css::sheet::XSpreadsheet> sheetRef(const QString& sheet) {
        const auto name = findSheetName(sheet);
        if (!name)
            throw OfficeError(QStringLiteral("表格中没有工作表“%1”：%2").arg(sheet, path_));
        return Reference<css::sheet::XSpreadsheet>(document_->getSheets()->getByName(*name), UNO_QUERY_THROW);
    }

    sal_Int16 sheetIndex(const QString& sheet) {
        const auto name = findSheetName(sheet);
        const auto names = document_->getSheets()->getElementNames();
        for (sal_Int32 i = 0; name && i < names.getLength(); ++i)
            if (names[i] == *name)
                return sal_Int16(i);
        return 0;
    }

    // The page style a sheet prints with.
    Reference<XPropertySet> pageStyle(const QString& sheet) {
        const OUString name =
            Reference<XPropertySet>(sheetRef(sheet), UNO_QUERY_THROW)->getPropertyValue("PageStyle").get<OUString>();
        Reference<css::style::XStyleFamiliesSupplier> supplier(component_, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> styles(supplier->getStyleFamilies()->getByName("PageStyles"),
                                                      UNO_QUERY_THROW);
        return Reference<XPropertySet>(styles->getByName(name), UNO_QUERY_THROW);
    }

    Reference<css::table::XCell> cell(const QString& sheet, int row, int column) {
        return sheetRef(sheet)->getCellByPosition(column - 1, row - 1);
    }

    Reference<XPropertySet> cellProps(const QString& sheet, int row, int column) {
        return Reference<XPropertySet>(cell(sheet, row, column), UNO_QUERY_THROW);
    }

    Reference<css::table::XCellRange> range(const QString& sheet, int firstRow, int firstColumn, int lastRow,
                                            int lastColumn) {
        return Reference<css::table::XCellRange>(sheetRef(sheet), UNO_QUERY_THROW)
            ->getCellRangeByPosition(firstColumn - 1, firstRow - 1, lastColumn - 1, lastRow - 1);
    }

    Reference<XPropertySet> rowProps(const QString& sheet, int row) {
        Reference<css::table::XColumnRowRange> r(sheetRef(sheet), UNO_QUERY_THROW);
        return Reference<XPropertySet>(r->getRows()->getByIndex(row - 1), UNO_QUERY_THROW);
    }

    Reference<XPropertySet> columnProps(const QString& sheet, int column) {
        Reference<css::table::XColumnRowRange> r(sheetRef(sheet), UNO_QUERY_THROW);
        return Reference<XPropertySet>(r->getColumns()->getByIndex(column - 1), UNO_QUERY_THROW);
    }

    void closeQuietly() {
        closeDocument(component_);
        document_.clear();
    }

    std::shared_ptr<OpenDocuments> book_;
    Reference<css::lang::XComponent> component_;
    Reference<css::sheet::XSpreadsheetDocument> document_;
    QString path_;
};

bool csvIsUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    return !decoder.hasError();
}

class LoSpreadsheetInstance : public LoInstance<SpreadsheetInstance> {
public:
    using LoInstance::LoInstance;

    std::unique_ptr<Workbook> newWorkbook() override {
        return unoCall(QStringLiteral("无法新建 Excel 表格"), [&] {
            return std::make_unique<LoWorkbook>(book_, session_->load("private:factory/scalc"), QString());
        });
    }

    std::unique_ptr<Workbook> open(const QString& path) override {
        if (!QFileInfo::exists(path))
            throw OfficeError(QStringLiteral("找不到表格文件：%1").arg(path));
        OUString filter, options;
        if (QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0) {
            // Comma-separated, double quotes around texts, first line on; the
            // character set is UTF-8 unless the bytes say otherwise (a sheet
            // saved by Excel on a Chinese Windows is GB 18030).
            filter = "Text - txt - csv (StarCalc)";
            options = csvIsUtf8(path) ? OUString("44,34,76,1,,2052") : OUString("44,34,85,1,,2052");
        }
        return unoCall(QStringLiteral("无法打开表格文件：%1").arg(path), [&] {
            return std::make_unique<LoWorkbook>(book_, session_->load(fileUrl(path), filter, options), path);
        });
    }
};

}  // namespace

std::unique_ptr<SpreadsheetInstance> makeLoSpreadsheetInstance(std::shared_ptr<UnoSession> session) {
    return std::make_unique<LoSpreadsheetInstance>(std::move(session));
}

}  // namespace zs
