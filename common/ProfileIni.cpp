#include "common/ProfileIni.h"

#include "common/Cp949.h"
#include "common/IniDocument.h"

#include <QSaveFile>

namespace profile {
namespace {

// Nothing when the file exists but cannot be read.
std::optional<IniDocument> load(const QString& path)
{
    const std::optional<QByteArray> bytes = ReadIniFile(path);
    if (!bytes)
        return std::nullopt;
    return IniDocument::parse(cp949::decode(*bytes));
}

QString cleanValue(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
                              (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QString ReadString(const QString& path, const QString& section, const QString& key, const QString& def,
                   int bufferChars)
{
    const std::optional<QString> raw = load(path).value_or(IniDocument()).rawValue(section, key);
    const QString value = raw ? cleanValue(*raw) : def;
    return bufferChars > 0 ? value.left(bufferChars - 1) : QString();
}

bool WriteString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    // A file that cannot be read is left as it is rather than replaced by one key.
    std::optional<IniDocument> doc = load(path);
    if (!doc)
        return false;
    doc->set(section, key, value);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(cp949::encode(doc->text(QStringLiteral("\r\n"))));
    return file.commit();
}

} // namespace profile
