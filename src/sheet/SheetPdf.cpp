// The sheet as a PDF.
#include "SheetPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace korvex {

QByteArray SheetPdf(const QString& html, const QString& title) {
    QBuffer buffer; // written whole afterwards, so that a full disk never leaves half a file
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("KORVEX Setup"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument document;
        document.setHtml(html);
        document.print(&writer); // lays it out on the pages and numbers them
    }
    return buffer.data();
}

} // namespace korvex
