#include "scan/scanfiles.h"

#include <QCollator>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QPdfDocument>
#include <algorithm>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

namespace zs {

namespace {

enum class Kind { Pdf, Tiff, Picture, Other };

Kind kindOf(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == u"pdf")
        return Kind::Pdf;
    if (suffix == u"tif" || suffix == u"tiff")
        return Kind::Tiff;
    if (suffix == u"jpg" || suffix == u"jpeg" || suffix == u"png")
        return Kind::Picture;
    return Kind::Other;
}

QString shortName(const QString& file) {
    return QFileInfo(file).fileName();
}

// The last PDF opened, kept for its next page (a scan's pages come in order).
struct OpenPdf {
    QString file;
    std::unique_ptr<QPdfDocument> document;
};

QPdfDocument* pdfOf(const QString& file) {
    thread_local OpenPdf open;
    if (open.file != file || !open.document) {
        open.document = std::make_unique<QPdfDocument>();
        open.file = file;
        if (open.document->load(file) != QPdfDocument::Error::None) {
            open.document.reset();
            open.file.clear();
            return nullptr;
        }
    }
    return open.document.get();
}

// The frames of the last TIFF read.
const std::vector<cv::Mat>* tiffOf(const QString& file) {
    thread_local QString last;
    thread_local std::vector<cv::Mat> frames;
    if (last != file) {
        frames.clear();
        last.clear();
        try {
            if (!cv::imreadmulti(QFile::encodeName(file).toStdString(), frames, cv::IMREAD_GRAYSCALE))
                return nullptr;
        } catch (const cv::Exception&) {
            return nullptr;
        }
        last = file;
    }
    return &frames;
}

}  // namespace

QString ScanSource::name() const {
    return pages > 1 ? QStringLiteral("%1 第%2页").arg(shortName(file)).arg(page + 1) : shortName(file);
}

QStringList scanFilesIn(const QString& folder) {
    QStringList files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files, QDir::NoSort))
        if (kindOf(entry.fileName()) != Kind::Other)
            files << entry.absoluteFilePath();
    QCollator order(QLocale(QLocale::Chinese, QLocale::China));
    order.setNumericMode(true);
    std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
    return files;
}

QVector<ScanSource> scanPages(const QStringList& files, QStringList& problems) {
    QVector<ScanSource> pages;
    for (const QString& file : files) {
        int count = 0;
        switch (kindOf(file)) {
        case Kind::Pdf:
            if (QPdfDocument* pdf = pdfOf(file))
                count = pdf->pageCount();
            if (count == 0)
                problems
                    << QStringLiteral("无法打开PDF文件（文件已损坏、加了密码或没有页面）：%1").arg(shortName(file));
            break;
        case Kind::Tiff:
            if (const auto* frames = tiffOf(file))
                count = int(frames->size());
            if (count == 0)
                problems << QStringLiteral("无法打开TIFF图片（文件已损坏）：%1").arg(shortName(file));
            break;
        case Kind::Picture:
            count = QImageReader(file).canRead() ? 1 : 0;
            if (count == 0)
                problems << QStringLiteral("无法打开图片（文件已损坏或不是图片）：%1").arg(shortName(file));
            break;
        case Kind::Other:
            problems << QStringLiteral("不是扫描的答题卡（只能读PDF、TIFF、JPEG、PNG文件）：%1").arg(shortName(file));
            break;
        }
        for (int p = 0; p < count; ++p)
            pages << ScanSource{file, p, count};
    }
    return pages;
}

QImage loadScanPage(const ScanSource& source, QString& problem, double dpi) {
    QImage image;
    switch (kindOf(source.file)) {
    case Kind::Pdf:
        if (QPdfDocument* pdf = pdfOf(source.file); pdf && source.page < pdf->pageCount()) {
            const QSizeF points = pdf->pagePointSize(source.page);
            image = pdf->render(source.page, (points * dpi / 72).toSize());
        }
        break;
    case Kind::Tiff:
        if (const auto* frames = tiffOf(source.file); frames && source.page < int(frames->size())) {
            const cv::Mat& m = (*frames)[size_t(source.page)];
            image = QImage(m.data, m.cols, m.rows, int(m.step), QImage::Format_Grayscale8).copy();
        }
        break;
    case Kind::Picture: {
        QImageReader reader(source.file);
        reader.setAutoTransform(true);  // a phone's photo stands as it was taken
        image = reader.read();
        break;
    }
    case Kind::Other:
        break;
    }
    if (image.isNull())
        problem = QStringLiteral("无法读取这一页：%1").arg(source.name());
    return image;
}

QString scanPageKey(const ScanSource& source) {
    static QMutex mutex;
    static QHash<QString, QString> hashes;  // file, size and time → its bytes' hash
    const QFileInfo info(source.file);
    const QString stamp = info.absoluteFilePath() + u'|' + QString::number(info.size()) + u'|' +
                          info.lastModified().toString(Qt::ISODate);
    QString hash;
    {
        QMutexLocker lock(&mutex);
        hash = hashes.value(stamp);
    }
    if (hash.isEmpty()) {
        QFile file(source.file);
        QCryptographicHash sha(QCryptographicHash::Sha1);
        if (file.open(QIODevice::ReadOnly))
            sha.addData(&file);
        hash = QString::fromLatin1(sha.result().toHex().left(20));
        QMutexLocker lock(&mutex);
        hashes.insert(stamp, hash);
    }
    return hash + u'-' + QString::number(source.page + 1);
}

}  // namespace zs
