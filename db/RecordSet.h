#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The rows of one SELECT, held in memory. Every column is text (SQL NULL reads as
// ""); columns are addressed by name (without regard to case) or by zero-based index.
// Field bytes are kept in CP949 as the server sent them, already cut at their first
// NUL and stripped of trailing blanks, and are decoded when read.
class RecordSet
{
public:
    RecordSet() = default;

    // --- building (by the connection class) ---
    void setColumns(const QStringList& names, const std::vector<unsigned long>& sizes);
    void reserveRows(qsizetype rows, qsizetype bytes);
    // Appends one row; `fields[i]` may be null for SQL NULL.
    void appendRow(const char* const* fields, const unsigned long* lengths);
    void commit();

    // --- reading ---
    bool IsOpen() const { return m_open; }
    void Close();
    bool Eof() const { return !m_open || m_row >= m_rowCount; }
    void MoveNext();
    void MoveFirst() { m_row = 0; }
    int RecordCount() const { return m_open ? int(m_rowCount) : 0; }
    int AbsolutePosition() const { return int(m_row); }

    int FieldCount() const { return int(m_names.size()); }
    QString FieldName(int index) const { return m_names.value(index); }
    unsigned long FieldSize(int index) const
    {
        return index >= 0 && index < int(m_sizes.size()) ? m_sizes[index] : 0;
    }
    int FieldIndex(const QString& name) const;

    // The current row's value; "" at the end of the rows or for an unknown column.
    QString Field(int index) const;
    QString Field(const QString& name) const { return Field(FieldIndex(name)); }
    QString operator[](const QString& name) const { return Field(name); }
    QString operator[](int index) const { return Field(index); }

    // Raw CP949 bytes of the current row's value.
    QByteArray FieldBytes(int index) const;

private:
    QStringList m_names;
    QHash<QString, int> m_index; // lower-case name -> column
    std::vector<unsigned long> m_sizes;
    QByteArray m_data;
    std::vector<quint32> m_offsets{0}; // field k spans m_offsets[k] .. m_offsets[k + 1]
    qsizetype m_rowCount = 0;
    qsizetype m_row = 0;
    bool m_open = false;
};
