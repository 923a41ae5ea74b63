#include "sheets/TableWriter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

namespace {

constexpr int kResolution = 300;
constexpr double kMarginMm = 10;
constexpr double kFontPoints = 8;

// A4 landscape, a title line, the header row on each page, a page number at the foot.
class PdfWriter : public TableWriter
{
public:
    bool open(const QString& path, const std::vector<TableColumn>& columns, const QString& title, qint64 rows,
              QString& error) override
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly)) {
            error = m_file.errorString();
            return false;
        }
        m_columns = columns;
        m_title = title;
        m_pdf = std::make_unique<QPdfWriter>(&m_file);
        m_pdf->setResolution(kResolution);
        m_pdf->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        m_pdf->setTitle(title);
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(m_pdf.get())) {
            error = QStringLiteral("the report cannot be started");
            return false;
        }
        QFont font(QStringLiteral("NanumGothic"));
        font.setPointSizeF(kFontPoints);
        m_painter->setFont(font);
        m_page = m_pdf->pageLayout().paintRectPixels(kResolution);
        m_page.moveTo(0, 0);
        const QFontMetricsF metrics(font, m_pdf.get());
        m_lineHeight = metrics.height() * 1.5;
        double total = 0;
        for (const TableColumn& c : columns)
            total += c.width;
        double x = 0;
        for (const TableColumn& c : columns) {
            const double w = total > 0 ? m_page.width() * c.width / total : 0;
            m_cells.emplace_back(x, w);
            x += w;
        }
        // Title, header and foot take four lines of every page.
        m_rowsPerPage = std::max(1, int(m_page.height() / m_lineHeight) - 4);
        m_pages = std::max<qint64>(1, (rows + m_rowsPerPage - 1) / m_rowsPerPage);
        startPage();
        return true;
    }

    void row(const QStringList& values) override
    {
        if (m_onPage == m_rowsPerPage) {
            m_pdf->newPage();
            startPage();
        }
        drawRow(values, false);
        ++m_onPage;
    }

    bool commit(QString& error) override
    {
        m_painter->end();
        if (m_file.commit())
            return true;
        error = m_file.errorString();
        return false;
    }

private:
    void startPage()
    {
        ++m_pageNumber;
        m_onPage = 0;
        m_y = 0;
        m_painter->drawText(QRectF(0, 0, m_page.width(), m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                            m_title);
        m_y = m_lineHeight * 1.5;
        QStringList headers;
        for (const TableColumn& c : m_columns)
            headers << c.header;
        drawRow(headers, true);
        m_painter->drawText(
            QRectF(0, m_page.height() - m_lineHeight, m_page.width(), m_lineHeight),
            Qt::AlignHCenter | Qt::AlignVCenter,
            QStringLiteral("%1 / %2").arg(m_pageNumber).arg(std::max(m_pages, qint64(m_pageNumber))));
    }

    void drawRow(const QStringList& values, bool header)
    {
        QFont font = m_painter->font();
        font.setBold(header);
        m_painter->setFont(font);
        const QFontMetricsF metrics(font, m_pdf.get());
        const double pad = m_lineHeight * 0.15;
        for (size_t c = 0; c < m_cells.size(); ++c) {
            const QRectF cell(m_cells[c].first, m_y, m_cells[c].second, m_lineHeight);
            if (header)
                m_painter->fillRect(cell, QColor(230, 230, 230));
            m_painter->drawRect(cell);
            const QString text = c < size_t(values.size()) ? values[qsizetype(c)] : QString();
            const Qt::Alignment align = !header && m_columns[c].kind == ColumnKind::Number ? Qt::AlignRight
                                        : header || m_columns[c].kind == ColumnKind::DateTime
                                            ? Qt::AlignHCenter
                                            : Qt::AlignLeft;
            const QRectF inner = cell.adjusted(pad, 0, -pad, 0);
            m_painter->drawText(inner, align | Qt::AlignVCenter,
                                metrics.elidedText(QString(text).replace(u'\n', u' ').remove(u'\r'),
                                                   Qt::ElideRight, inner.width()));
        }
        m_y += m_lineHeight;
    }

    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    std::unique_ptr<QPainter> m_painter;
    std::vector<TableColumn> m_columns;
    std::vector<std::pair<double, double>> m_cells; // left and width of each column
    QString m_title;
    QRectF m_page;
    double m_lineHeight = 0;
    double m_y = 0;
    int m_rowsPerPage = 1;
    int m_onPage = 0;
    int m_pageNumber = 0;
    qint64 m_pages = 1;
};

} // namespace

std::unique_ptr<TableWriter> MakePdfWriter()
{
    return std::make_unique<PdfWriter>();
}
