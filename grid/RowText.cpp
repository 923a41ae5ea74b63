#include "grid/RowText.h"

QStringView RowText::cellView(int index) const
{
    if (index < 0 || size_t(index) >= m_ends.size())
        return {};
    const quint32 start = index == 0 ? 0 : m_ends[size_t(index) - 1];
    return QStringView(m_text).mid(start, m_ends[size_t(index)] - start);
}

void RowText::setCell(int index, const QString& text)
{
    if (index < 0)
        return;
    if (size_t(index) >= m_ends.size()) {
        if (text.isEmpty())
            return;
        m_ends.resize(size_t(index) + 1, quint32(m_text.size()));
    }
    const qsizetype start = index == 0 ? 0 : m_ends[size_t(index) - 1];
    const qsizetype oldLength = m_ends[size_t(index)] - start;
    // A new string of the exact size: rows hold no spare capacity.
    QString rebuilt;
    rebuilt.reserve(m_text.size() - oldLength + text.size());
    rebuilt.append(QStringView(m_text).left(start))
        .append(text)
        .append(QStringView(m_text).mid(start + oldLength));
    m_text = std::move(rebuilt);
    const qsizetype delta = text.size() - oldLength;
    for (size_t i = size_t(index); i < m_ends.size(); ++i)
        m_ends[i] = quint32(m_ends[i] + delta);
    // Trailing empty cells need no place.
    while (!m_ends.empty() && m_ends.back() == (m_ends.size() > 1 ? m_ends[m_ends.size() - 2] : 0))
        m_ends.pop_back();
    if (m_ends.empty())
        m_text = QString();
}

void RowText::truncate(int count)
{
    if (count < 0 || size_t(count) >= m_ends.size())
        return;
    m_ends.resize(size_t(count));
    m_text.truncate(m_ends.empty() ? 0 : m_ends.back());
    m_text.squeeze();
    m_ends.shrink_to_fit();
}
