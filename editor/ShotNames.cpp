#include "editor/ShotNames.h"

#include "db/Query.h"
#include "records/SharePath.h"

QString CleanFileName(const QString& text)
{
    static const QString removed = QStringLiteral(" /:*?<>|");
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!removed.contains(c))
            out += c;
    return out;
}

QString ShotNamePart(const QString& screenName)
{
    return EscapeSQL(CleanFileName(screenName.trimmed()));
}

QString StoredShotName(long seq, const QString& screenName, int slot)
{
    return QString::number(seq) + QLatin1Char('_') + ShotNamePart(screenName) + QLatin1Char('_') +
           QString::number(slot) + QStringLiteral(".jpg");
}

QString StoredShotPath(const QString& shareHost, long seq, const QString& screenName, int slot)
{
    return StoredShotFolder(shareHost) + QLatin1Char('\\') + StoredShotName(seq, screenName, slot);
}

bool IsPortableFileName(const QString& fileName)
{
    for (const QChar c : fileName)
        if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char('"') || c.unicode() < 0x20)
            return false;
    return !fileName.isEmpty();
}

QString CaptureFilePath(const QString& captureDir, const QString& screenName, const QDateTime& at)
{
    return captureDir + QLatin1Char('/') + screenName + QLatin1Char('_') +
           at.toString(QStringLiteral("yyyy-MMddHHmmss")) + QStringLiteral("_scr.jpg");
}

int TargetSlot(const ShotTags& tags, int half)
{
    const int first = half == 0 ? 0 : kSlotsPerHalf;
    for (int slot = first; slot < first + kSlotsPerHalf - 1; ++slot)
        if (tags[slot].isEmpty())
            return slot;
    return first + kSlotsPerHalf - 1;
}
