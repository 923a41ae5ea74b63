#include "BiffWriter.h"

#include "common/Cp949.h"

#include <QFile>
#include <cstring>

BiffWriter::BiffWriter(int version) : m_version(version) {}

QByteArray BiffWriter::le16(quint16 v)
{
    QByteArray b(2, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char(v >> 8);
    return b;
}

QByteArray BiffWriter::le32(quint32 v)
{
    return le16(quint16(v & 0xFFFF)) + le16(quint16(v >> 16));
}

QByteArray BiffWriter::le64(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

BiffWriter& BiffWriter::record(quint16 id, const QByteArray& body)
{
    m_body += le16(id) + le16(quint16(body.size())) + body;
    return *this;
}

BiffWriter& BiffWriter::codePage(quint16 codePage)
{
    return record(0x0042, le16(codePage));
}

BiffWriter& BiffWriter::dateMode1904()
{
    return record(0x0022, le16(1));
}

BiffWriter& BiffWriter::format(const QByteArray& text)
{
    return record(0x001E, QByteArray(1, char(text.size())) + text);
}

BiffWriter& BiffWriter::xf(int formatIndex)
{
    if (m_version == 2)
        return record(0x0043, QByteArray("\0\0", 2) + char(formatIndex) + QByteArray(1, '\0'));
    return record(0x0243, QByteArray(1, '\0') + char(formatIndex) + QByteArray(10, '\0'));
}

BiffWriter& BiffWriter::ixfe(int xf)
{
    return record(0x0044, le16(quint16(xf)));
}

QByteArray BiffWriter::cellHead(int row, int col, int xf) const
{
    QByteArray head = le16(quint16(row)) + le16(quint16(col));
    if (m_version == 2)
        return head + char(xf & 0x3F) + char(m_attrFormat & 0x3F) + QByteArray(1, '\0');
    return head + le16(quint16(xf));
}

BiffWriter& BiffWriter::label(int row, int col, const QByteArray& bytes, int xf)
{
    if (m_version == 2)
        return record(0x0004, cellHead(row, col, xf) + char(bytes.size()) + bytes);
    return record(0x0204, cellHead(row, col, xf) + le16(quint16(bytes.size())) + bytes);
}

BiffWriter& BiffWriter::number(int row, int col, double value, int xf)
{
    return record(m_version == 2 ? 0x0003 : 0x0203, cellHead(row, col, xf) + le64(value));
}

BiffWriter& BiffWriter::integer(int row, int col, quint16 value, int xf)
{
    return record(0x0002, cellHead(row, col, xf) + le16(value));
}

BiffWriter& BiffWriter::rk(int row, int col, quint32 rk, int xf)
{
    return record(0x027E, cellHead(row, col, xf) + le32(rk));
}

BiffWriter& BiffWriter::boolErr(int row, int col, int value, bool isError, int xf)
{
    return record(m_version == 2 ? 0x0005 : 0x0205,
                  cellHead(row, col, xf) + char(value) + char(isError ? 1 : 0));
}

BiffWriter& BiffWriter::formula(int row, int col, const QByteArray& result, int xf)
{
    // Flags, then a formula of one token (the error constant #N/A) after the result.
    const QByteArray tail =
        m_version == 2 ? QByteArray("\0\x02\x1C\x2A", 4) : QByteArray("\0\0\x02\0\x1C\x2A", 6);
    return record(m_version == 2 ? 0x0006 : 0x0206, cellHead(row, col, xf) + result + tail);
}

BiffWriter& BiffWriter::string(const QByteArray& bytes)
{
    if (m_version == 2)
        return record(0x0007, char(bytes.size()) + bytes);
    return record(0x0207, le16(quint16(bytes.size())) + bytes);
}

QByteArray BiffWriter::bytes() const
{
    const QByteArray bof = m_version == 2 ? le16(0x0009) + le16(4) + le16(2) + le16(0x0010)
                                          : le16(0x0209) + le16(6) + le16(3) + le16(0x0010) + le16(0);
    return bof + m_body + le16(0x000A) + le16(0);
}

bool BiffWriter::save(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes()) == bytes().size();
}

QByteArray BiffTable(int version, const QList<QStringList>& rows)
{
    BiffWriter w(version);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            w.label(r, c, cp949::encode(rows[r][c]));
    return w.bytes();
}
