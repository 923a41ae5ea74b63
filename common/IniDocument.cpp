#include "common/IniDocument.h"

#include <QFile>

namespace {

// The section name of a "[name]" line, or a null string for other lines.
QString sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool keyMatches(const QString& line, const QString& key)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq >= 0 && line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument IniDocument::parse(const QString& text)
{
    IniDocument doc;
    doc.m_lines = text.split(QLatin1Char('\n'));
    for (QString& line : doc.m_lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!doc.m_lines.isEmpty() && doc.m_lines.last().isEmpty())
        doc.m_lines.removeLast();
    return doc;
}

QString IniDocument::text(const QString& lineEnd) const
{
    return m_lines.isEmpty() ? QString() : m_lines.join(lineEnd) + lineEnd;
}

IniDocument::Position IniDocument::find(const QString& section, const QString& key) const
{
    Position pos;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionOf(m_lines[i]);
        if (!name.isNull()) {
            if (pos.section >= 0)
                break;
            if (name.compare(section.trimmed(), Qt::CaseInsensitive) == 0)
                pos.section = pos.end = i, ++pos.end;
            continue;
        }
        if (pos.section < 0)
            continue;
        if (pos.key < 0 && keyMatches(m_lines[i], key))
            pos.key = i;
        if (!m_lines[i].trimmed().isEmpty())
            pos.end = i + 1;
    }
    return pos;
}

std::optional<QString> IniDocument::rawValue(const QString& section, const QString& key) const
{
    const Position pos = find(section, key);
    if (pos.key < 0)
        return std::nullopt;
    const QString& line = m_lines[pos.key];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

void IniDocument::set(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key + QLatin1Char('=') + value;
    const Position pos = find(section, key);
    if (pos.key >= 0) {
        QString& line = m_lines[pos.key];
        line = line.left(line.indexOf(QLatin1Char('=')) + 1) + value; // keeps the key as first written
    } else if (pos.section >= 0)
        m_lines.insert(pos.end, entry);
    else
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
}

void IniDocument::remove(const QString& section, const QString& key)
{
    const Position pos = find(section, key);
    if (pos.key >= 0)
        m_lines.removeAt(pos.key);
}

std::optional<QByteArray> ReadIniFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            return std::nullopt;
        return QByteArray();
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
