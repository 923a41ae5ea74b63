#include "db/SqlLog.h"

#include "common/Globals.h"
#include "common/Numbers.h"
#include "common/Reporter.h"
#include "common/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <utility>

int16_t gSQLLogLevel = 0;
QString gSQLLogFile;
QString gSQLLogFullPrefix;
QString gSQLLogSlowFile;
double gSQLSlowTime = 3;

namespace {

// Appends one encoded line. A log that cannot be written never disturbs the
// statement it records: the failure is reported once per run and otherwise ignored.
void appendLine(const QString& path, const QString& encoded)
{
    QFile file(path);
    if (file.open(QIODevice::Append) && file.write(encoded.toLatin1() + "\r\n") >= 0)
        return;
    static bool reported = false;
    if (!reported) {
        reported = true;
        ReportWarning(QStringLiteral("SQL 로그 파일을 기록할 수 없습니다.\r\n") + path);
    }
}

QString lineOf(const QString& sqlOrLine, const QString& result, double seconds, bool ready)
{
    return ready
               ? sqlOrLine
               : HexEncodeLogLine(BuildSQLLogLine(QDateTime::currentDateTime(), sqlOrLine, result, seconds));
}

// The day's files of last month go, once per calendar day. The folder is shared by every
// user of the program, so the day it was last cleaned is kept inside it.
void cleanUpLogDir(const QString& logDir, const QDate& today)
{
    const QString todayText = today.toString(QStringLiteral("yyyy-MM-dd"));
    const QString mark = SQLLogCleanMarkPath(logDir);
    QDir dir(logDir);
    if (!dir.exists()) {
        if (!QDir().mkpath(logDir))
            ReportWarning(QStringLiteral("SQL 로그 폴더를 만들 수 없습니다.\r\n") + logDir);
    } else {
        QFile last(mark);
        if (last.open(QIODevice::ReadOnly) && QString::fromLatin1(last.read(32)).trimmed() == todayText)
            return;
        QFile::remove(gSQLLogFile);
        QFile::remove(gSQLLogSlowFile);
        const QString prefix = QFileInfo(gSQLLogFullPrefix).fileName();
        for (const QString& name : dir.entryList({prefix + QStringLiteral("*.dat")}, QDir::Files))
            dir.remove(name);
    }
    // Replaced rather than rewritten, so any user who may clean the folder may mark it.
    QSaveFile file(mark);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(todayText.toLatin1());
        file.commit();
    }
}

// Notes written before the log files are known.
QStringList& pendingNotes()
{
    static QStringList lines;
    return lines;
}

} // namespace

QString SQLLogCleanMarkPath(const QString& logDir)
{
    return logDir + QStringLiteral("/SQLLogLast.txt");
}

void PrepareSQLLog(const QString& logDir, const QDate& today)
{
    SetSQLLogPaths(logDir, today);
    gSQLSlowTime = LeadingNumber(
        GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("SQLSlowTime"), QStringLiteral("3")));
    cleanUpLogDir(logDir, today);
    for (const QString& line : std::exchange(pendingNotes(), {}))
        appendLine(gSQLLogFile, line);
}

void SetSQLLogPaths(const QString& logDir, const QDate& today)
{
    const QString base = logDir + QStringLiteral("/SQLLog_") + today.toString(QStringLiteral("dd"));
    gSQLLogFile = base + QStringLiteral(".dat");
    gSQLLogFullPrefix = base + QStringLiteral("_full_");
    gSQLLogSlowFile = base + QStringLiteral("_slow.dat");
}

QString HexEncodeLogLine(const QString& line)
{
    QString digits;
    digits.reserve(line.size() * 4);
    for (QChar c : line) {
        const QString hex = QString::number(c.unicode(), 16).toUpper();
        if (hex.size() == 2)
            digits += hex + QStringLiteral("00");
        else if (hex.size() == 1)
            digits += QStringLiteral("000") + hex;
        else
            digits += hex; // three digits shift every later group: kept as the readers expect
    }
    QString out;
    out.reserve(digits.size());
    for (qsizetype i = 0; i < digits.size(); i += 4) {
        const QString group = digits.mid(i, 4);
        out += group.mid(2) + group.left(2);
    }
    return out;
}

QString HexDecodeLogLine(const QString& encoded)
{
    // Lines whose characters all have one, two or four hex digits decode exactly; a
    // two-digit code and a four-digit code ending in 00 look alike, and are read as
    // ASCII when below 0x80.
    QString out;
    for (qsizetype i = 0; i + 4 <= encoded.size(); i += 4) {
        const QString group = encoded.mid(i, 4);
        const QString digits = group.mid(2) + group.left(2);
        const uint value = digits.toUInt(nullptr, 16);
        if (digits.startsWith(QStringLiteral("000")))
            out += QChar(digits.mid(3).toUShort(nullptr, 16));
        else if (digits.endsWith(QStringLiteral("00")) && (value >> 8) < 0x80)
            out += QChar(value >> 8);
        else
            out += QChar(value);
    }
    return out;
}

QString SecondsText(double seconds)
{
    return QString::number(seconds, 'g', 15);
}

QString BuildSQLLogLine(const QDateTime& now, const QString& sql, const QString& result, double seconds)
{
    return now.toString(QStringLiteral("yyMMddHHmmss")) + QLatin1Char('\t') + SecondsText(seconds) +
           QLatin1Char('\t') + sql + QStringLiteral(";\t -> ") + result;
}

void WriteSQLLog(const QString& sql, const QString& result, double seconds)
{
    if (gSQLLogLevel < 1) {
        WriteSQLLogSlow(sql, result, seconds, false);
        return;
    }
    const QString line = lineOf(sql, result, seconds, false);
    appendLine(gSQLLogFile, line);
    WriteSQLLogFull(line, result, seconds, true);
}

void WriteSQLLogFull(const QString& sqlOrLine, const QString& result, double seconds, bool ready)
{
    if (gSQLLogLevel < 2) {
        WriteSQLLogSlow(sqlOrLine, result, seconds, ready);
        return;
    }
    const QString line = lineOf(sqlOrLine, result, seconds, ready);
    appendLine(gSQLLogFullPrefix + QTime::currentTime().toString(QStringLiteral("HH")) +
                   QStringLiteral(".dat"),
               line);
    WriteSQLLogSlow(line, result, seconds, true);
}

void WriteSQLLogNote(const QString& note)
{
    const QString line = HexEncodeLogLine(
        BuildSQLLogLine(QDateTime::currentDateTime(), QStringLiteral("-- ") + note, QString(), 0));
    if (gSQLLogFile.isEmpty())
        pendingNotes().append(line);
    else
        appendLine(gSQLLogFile, line);
}

void WriteSQLLogSlow(const QString& sqlOrLine, const QString& result, double seconds, bool ready)
{
    if (seconds >= gSQLSlowTime)
        appendLine(gSQLLogSlowFile, lineOf(sqlOrLine, result, seconds, ready));
}
