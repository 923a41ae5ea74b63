#include "db/RecordSet.h"

#include "common/Cp949.h"

#include <cstring>

void RecordSet::setColumns(const QStringList& names, const std::vector<unsigned long>& sizes)
{
    m_names = names;
    m_sizes = sizes;
    m_index.clear();
    for (int i = 0; i < m_names.size(); ++i)
        m_index.insert(m_names[i].toLower(), i);
}

void RecordSet::reserveRows(qsizetype rows, qsizetype bytes)
{
    m_offsets.reserve(size_t(rows * m_names.size() + 1));
    m_data.reserve(bytes);
}

void RecordSet::appendRow(const char* const* fields, const unsigned long* lengths)
{
    for (qsizetype c = 0; c < m_names.size(); ++c) {
        const char* value = fields[c];
        size_t n = value ? size_t(lengths[c]) : 0;
        if (value) {
            // A value ends at its first NUL and loses its trailing blanks.
            if (const void* nul = std::memchr(value, 0, n))
                n = size_t(static_cast<const char*>(nul) - value);
            while (n > 0 && value[n - 1] == ' ')
                --n;
            m_data.append(value, qsizetype(n));
        }
        m_offsets.push_back(quint32(m_data.size()));
    }
    ++m_rowCount;
}

void RecordSet::commit()
{
    m_open = true;
    m_row = 0;
}

void RecordSet::Close()
{
    m_open = false;
    m_data.clear();
    m_offsets.assign(1, 0);
    m_rowCount = 0;
    m_row = 0;
}

void RecordSet::MoveNext()
{
    if (m_row < m_rowCount)
        ++m_row;
}

int RecordSet::FieldIndex(const QString& name) const
{
    return m_index.value(name.toLower(), -1);
}

QByteArray RecordSet::FieldBytes(int index) const
{
    if (Eof() || index < 0 || index >= m_names.size())
        return {};
    const size_t k = size_t(m_row * m_names.size() + index);
    return QByteArray::fromRawData(m_data.constData() + m_offsets[k],
                                   qsizetype(m_offsets[k + 1] - m_offsets[k]));
}

QString RecordSet::Field(int index) const
{
    if (Eof() || index < 0 || index >= m_names.size())
        return {};
    const size_t k = size_t(m_row * m_names.size() + index);
    return cp949::decode(m_data.constData() + m_offsets[k], qsizetype(m_offsets[k + 1] - m_offsets[k]));
}
