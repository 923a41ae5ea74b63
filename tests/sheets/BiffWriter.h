#pragma once

#include <QByteArray>
#include <QString>

// Builds small Excel 2.x (version 2) or Excel 3.0 (version 3) worksheet files for
// tests: a BOF record, the records asked for, an EOF record.
class BiffWriter
{
public:
    explicit BiffWriter(int version);

    BiffWriter& record(quint16 id, const QByteArray& body);
    BiffWriter& codePage(quint16 codePage);
    BiffWriter& dateMode1904();
    BiffWriter& format(const QByteArray& text);
    BiffWriter& xf(int formatIndex);
    BiffWriter& ixfe(int xf);
    // Version 2 cells without XF records carry their format index themselves.
    BiffWriter& cellFormat(int formatIndex)
    {
        m_attrFormat = formatIndex;
        return *this;
    }

    BiffWriter& label(int row, int col, const QByteArray& bytes, int xf = 0);
    BiffWriter& number(int row, int col, double value, int xf = 0);
    BiffWriter& integer(int row, int col, quint16 value, int xf = 0); // version 2 record
    BiffWriter& rk(int row, int col, quint32 rk, int xf = 0);         // version 3 record
    BiffWriter& boolErr(int row, int col, int value, bool isError, int xf = 0);
    // `result`: the eight result bytes of the formula record.
    BiffWriter& formula(int row, int col, const QByteArray& result, int xf = 0);
    BiffWriter& string(const QByteArray& bytes);

    QByteArray bytes() const;
    bool save(const QString& path) const;

    static QByteArray le16(quint16 v);
    static QByteArray le32(quint32 v);
    static QByteArray le64(double v);

private:
    QByteArray cellHead(int row, int col, int xf) const;

    int m_version;
    int m_attrFormat = 0;
    QByteArray m_body;
};

// Texts of a table in the workbook's code page: one LABEL per cell, row by row.
QByteArray BiffTable(int version, const QList<QStringList>& rows);
