#include "application/core/ServiceReportWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

// The report's logo lives in the core's own resource, so that k27ctl prints it too.
static void initReportResource()
{
    Q_INIT_RESOURCE(report);
}

namespace Application::K27 {

namespace {

// Pixels of the page as the report's HTML sizes them: those of a screen.
constexpr int reportResolution = 96;
// The smallest body size the report is set in before it is printed over more than the page.
constexpr qreal smallestPointSize = 6.0;

} // namespace

bool ServiceReportWriter::write(const QString &html, const QString &path, QString *errorString)
{
    initReportResource();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *errorString = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("K27 ServiceTool"));
        writer.setTitle(tr("Service report"));
        writer.setResolution(reportResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
        const QSizeF page = writer.pageLayout().paintRectPixels(reportResolution).size();

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        QFont font = document.defaultFont();
        font.setPointSizeF(9.0);
        document.setDefaultFont(font);
        document.setHtml(html);
        document.setPageSize(page);
        while (document.pageCount() > 1 && font.pointSizeF() > smallestPointSize) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            document.setDefaultFont(font);
        }

        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            *errorString = tr("The PDF cannot be started.");
            return false;
        }
        document.drawContents(&painter, QRectF(QPointF(0, 0), page));
        painter.end();
    }
    if (!file.commit()) {
        *errorString = file.errorString();
        return false;
    }
    return true;
}

} // namespace Application::K27
