#include "platform/PdfDocument.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QAbstractTextDocumentLayout>
#include <QMarginsF>
#include <QPdfWriter>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace
{
// A4 pages with 20 mm margins and the page number in the last 10 mm of the text area.
constexpr double kMargin = 20.0;
constexpr double kFooter = 10.0;
// The text area in the 96-per-inch pixels a document measures pictures in; a larger picture is
// shrunk to fit.
constexpr double kTextWidth = (210.0 - 2 * kMargin) / 25.4 * 96.0;
constexpr double kTextHeight = (297.0 - 2 * kMargin - kFooter) / 25.4 * 96.0 - 40.0;

struct CPictureUse
{
    int position;
    int length;
    QTextImageFormat format;
};

std::vector<CPictureUse> FindPictures(const QTextDocument& document)
{
    std::vector<CPictureUse> uses;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
        {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                uses.push_back({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    return uses;
}

void SetTableLooks(QTextFrame& root)
{
    for (QTextFrame* frame : root.childFrames())
    {
        if (auto* table = qobject_cast<QTextTable*>(frame))
        {
            QTextTableFormat format = table->format();
            format.setBorder(0.5);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderCollapse(true);
            format.setCellPadding(4);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
        SetTableLooks(*frame);
    }
}

void SetHeadingLooks(QTextDocument& document)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : level == 2 ? 18 : 10);
        format.setBottomMargin(6);
        // A heading that wraps is not split across two pages.
        format.setNonBreakableLines(true);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}
}

std::string WriteMarkdownPdf(const CPdfDocumentJob& job, std::vector<std::string>* pictures)
{
    if (pictures)
        pictures->clear();
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return "no GUI application: fonts are not available";
    const QString family = QString::fromUtf8(job.fontFamily.c_str());
    if (!QFontDatabase::families().contains(family))
        return "the font family \"" + job.fontFamily + "\" is not installed";

    QTextDocument document;
    QFont font(family);
    font.setPointSize(job.pointSize);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(job.markdown.c_str()), QTextDocument::MarkdownDialectGitHub);

    std::string problem;
    QTextCursor cursor(&document);
    for (CPictureUse& use : FindPictures(document))
    {
        const std::string name = use.format.name().toStdString();
        if (pictures && std::find(pictures->begin(), pictures->end(), name) == pictures->end())
            pictures->push_back(name);
        const QString path = QString::fromUtf8((job.pictureFolder + "/" + name).c_str());
        QImage image;
        if (name.empty() || name.find("..") != std::string::npos || !image.load(path))
        {
            if (problem.empty())
                problem = "the picture \"" + name + "\" is not in " + job.pictureFolder;
            continue;
        }
        // With an alpha channel the PDF keeps the picture losslessly (deflated, not as a JPEG), so
        // the texts of the windows stay sharp.
        document.addResource(QTextDocument::ImageResource, QUrl(use.format.name()),
                             image.convertToFormat(QImage::Format_ARGB32));
        const double scale = std::min({1.0, kTextWidth / image.width(), kTextHeight / image.height()});
        use.format.setWidth(image.width() * scale);
        use.format.setHeight(image.height() * scale);
        cursor.setPosition(use.position);
        cursor.setPosition(use.position + use.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(use.format);
    }
    if (!problem.empty())
        return problem;
    SetTableLooks(*document.rootFrame());
    SetHeadingLooks(document);

    const QString output = QString::fromUtf8(job.outputPath.c_str());
    {
        QPdfWriter writer(output);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter);
        writer.setTitle(QString::fromUtf8(job.title.c_str()));
        writer.setCreator(QString::fromUtf8(job.creator.c_str()));
        // The pages are painted here rather than by QTextDocument::print, whose painter would
        // store the pictures as JPEG: with lossless rendering the windows' texts stay sharp.
        document.documentLayout()->setPaintDevice(&writer);
        const double footer = kFooter / 25.4 * writer.logicalDpiY();
        const QSizeF body(writer.width(), writer.height() - footer);
        document.setPageSize(body);
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        QFont numberFont = font;
        numberFont.setPointSize(std::max(job.pointSize - 1, 6));
        const int pages = document.pageCount();
        for (int page = 0; page < pages; ++page)
        {
            if (page > 0)
                writer.newPage();
            painter.save();
            const QRectF area(0, page * body.height(), body.width(), body.height());
            painter.translate(0, -area.top());
            painter.setClipRect(area);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = area;
            document.documentLayout()->draw(&painter, context);
            painter.restore();
            painter.setFont(numberFont);
            painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(page + 1));
        }
    }
    const QFileInfo written(output);
    if (!written.isFile() || written.size() == 0)
        return "cannot write " + job.outputPath;
    return std::string();
}
