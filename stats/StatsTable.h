#pragma once

#include "stats/StatsFigures.h"

#include <QList>
#include <QString>
#include <QStringList>

// The figures as tables of text: beside each chart (so they read without hovering and
// by a screen reader) and in the CSV export.

enum class FigureKind
{
    Count, // bars of counts, a column per series
    Time   // median and 90th percentile in days, with the count
};

struct FigureTable
{
    QString title;
    FigureKind kind = FigureKind::Count;
    QStringList header; // the label column, then a column per value
    QList<QStringList> rows;
    QString note; // what was left out, when anything was
};

// The six figures in the window's order: by status, by program, per month, time by
// program, time by answerer, waiting per person in charge. A table whose stage has not
// been read yet has no rows.
QList<FigureTable> StatsTables(const StatsFigures& figures);

// Days with one decimal.
QString DaysText(double days);

// The long form of every table for the CSV file: figure, item, column, value.
QStringList StatsCsvHeader();
QList<QStringList> StatsCsvRows(const QList<FigureTable>& tables);
