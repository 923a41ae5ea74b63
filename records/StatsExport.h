#pragma once

#include "stats/StatsTable.h"

#include <QString>

class QWidget;

// The statistics window's files. Each returns false with the reason in `error`, and
// leaves no file behind then.

// The widget as drawn, at its screen's device pixel ratio.
bool SaveWidgetPng(QWidget* widget, const QString& path, QString& error);
// The widget on one page of its own size, drawn as vectors where Qt can.
bool SaveWidgetPdf(QWidget* widget, const QString& path, const QString& title, QString& error);
// Every table in the long form of StatsCsvRows (UTF-8 with a byte-order mark).
bool SaveStatsCsv(const QList<FigureTable>& tables, const QString& path, QString& error);
