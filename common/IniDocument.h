#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The lines of one INI file: "[Section]" lines and "key=value" lines. Sections and
// keys match without regard to case; every line that is not touched is kept.
class IniDocument
{
public:
    static IniDocument parse(const QString& text);
    QString text(const QString& lineEnd) const;

    // Everything after the first "=" of the key's line, as it stands.
    std::optional<QString> rawValue(const QString& section, const QString& key) const;
    void set(const QString& section, const QString& key, const QString& value);
    void remove(const QString& section, const QString& key);

private:
    struct Position
    {
        qsizetype section = -1; // line of the "[Section]" header
        qsizetype key = -1;     // line of the key
        qsizetype end = -1;     // line after the section's last non-blank line
    };
    Position find(const QString& section, const QString& key) const;

    QStringList m_lines;
};

// The bytes of an INI file: empty when it does not exist, nothing when it exists but
// cannot be read (such a file must not be rewritten from what little was read).
std::optional<QByteArray> ReadIniFile(const QString& path);
