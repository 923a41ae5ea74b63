#pragma once

#include <QDialog>

class QTreeWidget;

// The change history of one record, newest first: when, who, what. A small window of
// its own, so the pane or editor it is opened from keeps its layout.
class FrmHistory : public QDialog
{
    Q_OBJECT

public:
    // Loads the history of record `seq`.
    explicit FrmHistory(long seq, QWidget* parent = nullptr);

    QTreeWidget* lstHistory = nullptr;
};

// Opens the history of record `seq` modally over `parent`.
void ShowHistory(QWidget* parent, long seq);
