#include "records/StatsExport.h"

#include "sheets/TableWriter.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

bool SaveWidgetPng(QWidget* widget, const QString& path, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !widget->grab().save(&file, "PNG") || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool SaveWidgetPdf(QWidget* widget, const QString& path, const QString& title, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(title);
        pdf.setResolution(96);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        // One page of the widget's size: 96 pixels an inch, 72 points.
        pdf.setPageSize(QPageSize(QSizeF(widget->size()) * 72.0 / 96.0, QPageSize::Point));
        QPainter painter(&pdf);
        if (!painter.isActive()) {
            error = QStringLiteral("PDF");
            file.cancelWriting();
            return false;
        }
        widget->render(&painter);
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool SaveStatsCsv(const QList<FigureTable>& tables, const QString& path, QString& error)
{
    const QList<QStringList> rows = StatsCsvRows(tables);
    std::vector<TableColumn> columns;
    for (const QString& h : StatsCsvHeader())
        columns.push_back({h, ColumnKind::Text, 20});
    columns.back().kind = ColumnKind::Number;
    auto writer = MakeTableWriter(TableFormat::Csv);
    if (!writer->open(path, columns, {}, rows.size(), error))
        return false;
    for (const QStringList& row : rows)
        writer->row(row);
    return writer->commit(error);
}
