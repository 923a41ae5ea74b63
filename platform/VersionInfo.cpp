#include "platform/VersionInfo.h"

#include "platform/ExeImage.h"
#include "platform/LanguageNames.h"

#include <algorithm>

namespace {

const QString kNotSpecified = QStringLiteral("Not specified");
constexpr int kFileVersionEntry = 2;

// The block as the UTF-16 text it is made of.
QString blockText(const QByteArray& block)
{
    const qsizetype units = block.size() / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i)
        text[i] = QChar(char16_t(uint8_t(block[2 * i]) | uint8_t(block[2 * i + 1]) << 8));
    return text;
}

QString textUntilNul(const QString& text, qsizetype from)
{
    if (from >= text.size())
        return {};
    const qsizetype end = text.indexOf(QChar(0), from);
    return text.mid(from, end < 0 ? -1 : end - from);
}

QString valueOf(const QString& text, const QString& key)
{
    const qsizetype at = text.indexOf(key + QChar(0));
    if (at < 0)
        return kNotSpecified;
    qsizetype pos = at + key.size();
    // The key's terminator and the padding to the next 32-bit boundary.
    for (int skipped = 0; skipped < 2 && pos < text.size() && text[pos] == QChar(0); ++skipped)
        ++pos;
    return textUntilNul(text, pos);
}

QString languageOf(const QString& text)
{
    const QString marker = QStringLiteral("StringFileInfo") + QChar(0);
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return kNotSpecified;
    // The first string table follows: its length, value length (0) and type, then its name.
    const qsizetype nul = text.indexOf(QChar(0), at + marker.size());
    if (nul < 0)
        return kNotSpecified;
    return LanguageName(textUntilNul(text, nul + 2));
}

bool allDigits(const QString& s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QStringList VersionInfoListFromBlock(const QByteArray& block)
{
    if (block.isEmpty())
        return {};
    const QString text = blockText(block);
    static const QStringList keys =
        QStringLiteral(
            "CompanyName;FileDescription;FileVersion;InternalName;LegalCopyright;OriginalFilename;"
            "ProductName;ProductVersion;Comments;LegalTrademarks;PrivateBuild;SpecialBuild;Language")
            .split(QLatin1Char(';'));
    QStringList entries;
    for (const QString& key : keys) {
        const QString value = key == QLatin1String("Language") ? languageOf(text) : valueOf(text, key);
        entries << key + QStringLiteral(": ") + value;
    }
    return entries;
}

QStringList GetVersionInfoList(const QString& path)
{
    return VersionInfoListFromBlock(ReadVersionBlock(path));
}

QString FormatFileVersion(const QString& value, bool keepLastPart)
{
    const qsizetype dot = value.lastIndexOf(QLatin1Char('.'));
    if (!keepLastPart)
        return dot < 0 ? QString() : value.left(dot);
    const QString head = value.left(dot + 1);
    QString last = value.mid(dot + 1);
    if (allDigits(last)) {
        while (last.size() > 1 && last.startsWith(QLatin1Char('0')))
            last.remove(0, 1);
    }
    return head + last;
}

QString GetFileVer(const QString& path, bool keepLastPart, bool)
{
    const QStringList entries = GetVersionInfoList(path);
    if (entries.size() <= kFileVersionEntry)
        return {};
    const QString entry = entries.at(kFileVersionEntry);
    const QString value = entry.mid(entry.indexOf(QLatin1Char(' ')) + 1);
    if (entry == QStringLiteral("FileVersion: ") + kNotSpecified)
        return {};
    return FormatFileVersion(value, keepLastPart);
}
