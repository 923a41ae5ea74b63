#include "sheets/BiffStrings.h"

#include <cstring>

namespace {

QString characters(const char* p, int count, bool wide)
{
    if (!wide)
        return QString::fromLatin1(p, count);
    QString text(count, Qt::Uninitialized);
    std::memcpy(text.data(), p, size_t(count) * 2); // little-endian, as every platform we build for
    return text;
}

quint16 le16(const char* p)
{
    return quint16(quint8(p[0]) | quint8(p[1]) << 8);
}

} // namespace

std::optional<QString> BiffUnicodeString(const char* p, int len, int countBytes, int* used)
{
    if (len < countBytes + 1)
        return std::nullopt;
    const int count = countBytes == 1 ? quint8(p[0]) : le16(p);
    const quint8 options = quint8(p[countBytes]);
    int at = countBytes + 1;
    qint64 after = 0;
    if (options & 0x08) {
        if (at + 2 > len)
            return std::nullopt;
        after += qint64(le16(p + at)) * 4;
        at += 2;
    }
    if (options & 0x04) {
        if (at + 4 > len)
            return std::nullopt;
        after += quint32(le16(p + at)) | quint32(le16(p + at + 2)) << 16;
        at += 4;
    }
    const bool wide = options & 1;
    const int bytes = count * (wide ? 2 : 1);
    if (at + bytes > len)
        return std::nullopt;
    if (used)
        *used = int(std::min<qint64>(at + bytes + after, len));
    return characters(p + at, count, wide);
}

bool BiffContinued::atEnd()
{
    while (m_part < m_parts.size() && m_at >= m_parts[m_part].second) {
        ++m_part;
        m_at = 0;
    }
    return m_part >= m_parts.size();
}

bool BiffContinued::byte(quint8& value)
{
    if (atEnd())
        return false;
    value = quint8(m_parts[m_part].first[m_at++]);
    return true;
}

bool BiffContinued::skip(qint64 count)
{
    while (count > 0) {
        if (atEnd())
            return false;
        const qint64 step = std::min<qint64>(count, m_parts[m_part].second - m_at);
        m_at += int(step);
        count -= step;
    }
    return true;
}

bool BiffContinued::u16(quint16& value)
{
    quint8 a, b;
    if (!byte(a) || !byte(b))
        return false;
    value = quint16(a | b << 8);
    return true;
}

bool BiffContinued::u32(quint32& value)
{
    quint16 a, b;
    if (!u16(a) || !u16(b))
        return false;
    value = quint32(a) | quint32(b) << 16;
    return true;
}

bool BiffContinued::string(QString& out)
{
    quint16 count, runs = 0;
    quint8 options;
    quint32 eastAsian = 0;
    if (!u16(count) || !byte(options) || ((options & 0x08) && !u16(runs)) ||
        ((options & 0x04) && !u32(eastAsian)))
        return false;
    bool wide = options & 1;
    out.clear();
    out.reserve(count);
    int left = count;
    while (left > 0) {
        if (m_part < m_parts.size() && m_at >= m_parts[m_part].second) {
            // The characters go on in the next record, after an option byte of their own.
            ++m_part;
            m_at = 0;
            quint8 again;
            if (!byte(again))
                return false;
            wide = again & 1;
        }
        if (m_part >= m_parts.size())
            return false;
        const int available = (m_parts[m_part].second - m_at) / (wide ? 2 : 1);
        const int take = std::min(left, available);
        if (take == 0)
            return false;
        out += characters(m_parts[m_part].first + m_at, take, wide);
        m_at += take * (wide ? 2 : 1);
        left -= take;
    }
    return skip(qint64(runs) * 4 + eastAsian);
}
