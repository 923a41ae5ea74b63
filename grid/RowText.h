#pragma once

#include <QString>
#include <vector>

// The texts of one row's cells kept one after another in a single string, so that
// a row costs two small allocations instead of one per cell. Cells count from 0;
// cells past the last one set are empty.
class RowText
{
public:
    QString cell(int index) const { return cellView(index).toString(); }
    QStringView cellView(int index) const;
    void setCell(int index, const QString& text);
    // Keeps the first `count` cells.
    void truncate(int count);
    bool isEmpty() const { return m_text.isEmpty(); }

private:
    QString m_text;
    std::vector<quint32> m_ends; // where each cell's text ends in m_text
};
