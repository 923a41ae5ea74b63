#include "TestFiles.h"
#include "common/Cp949.h"
#include "common/IniDocument.h"
#include "common/ProfileIni.h"
#include "common/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TextTest : public QObject
{
    Q_OBJECT

private slots:
    void cp949_data();
    void cp949();
    void leftBytesNeverSplitsACharacter_data();
    void leftBytesNeverSplitsACharacter();
    void profileReadsLikeAFixedBuffer_data();
    void profileReadsLikeAFixedBuffer();
    void profileWriteKeepsOtherLinesAndEncoding();
    void settingsStoreFileAndLiteralValues();
    void unreadableFileIsNotRewritten_data();
    void unreadableFileIsNotRewritten();
};

void TextTest::cp949_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("abc 123") << QByteArray("abc 123");
    QTest::newRow("hangul") << QStringLiteral("가") << QByteArray("\xB0\xA1");
    QTest::newRow("extension syllable") << QStringLiteral("똠") << QByteArray("\x8C\x63");
    QTest::newRow("mixed") << QStringLiteral("A가B")
                           << QByteArray("A\xB0\xA1"
                                         "B");
    QTest::newRow("not in code page") << QStringLiteral("a\U0001F600b") << QByteArray("a??b");
}

void TextTest::cp949()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp949::encode(text), bytes);
    if (!bytes.contains('?'))
        QCOMPARE(cp949::decode(bytes), text);
    QCOMPARE(cp949::byteLength(text), int(bytes.size()));
}

void TextTest::leftBytesNeverSplitsACharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fits") << QStringLiteral("가나") << 4 << QStringLiteral("가나");
    QTest::newRow("half a syllable") << QStringLiteral("가나") << 3 << QStringLiteral("가");
    QTest::newRow("ascii then hangul") << QStringLiteral("a가") << 2 << QStringLiteral("a");
    QTest::newRow("zero") << QStringLiteral("abc") << 0 << QString();
}

void TextTest::leftBytesNeverSplitsACharacter()
{
    QFETCH(QString, text);
    QFETCH(int, max);
    QFETCH(QString, expected);
    QCOMPARE(cp949::leftBytes(text, max), expected);
}

void TextTest::profileReadsLikeAFixedBuffer_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short") << QStringLiteral("1234") << 10 << QStringLiteral("1234");
    QTest::newRow("nine of ten") << QStringLiteral("1234567890") << 10 << QStringLiteral("123456789");
    QTest::newRow("blanks trimmed") << QStringLiteral("  42  ") << 10 << QStringLiteral("42");
    QTest::newRow("quotes removed") << QStringLiteral("\"x y\"") << 100 << QStringLiteral("x y");
    QTest::newRow("hangul") << QStringLiteral("한글값") << 100 << QStringLiteral("한글값");
}

void TextTest::profileReadsLikeAFixedBuffer()
{
    QFETCH(QString, stored);
    QFETCH(int, buffer);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(cp949::encode(QStringLiteral("[Other]\r\nKey=no\r\n[Sec]\r\nKey=") + stored +
                          QStringLiteral("\r\n")));
    f.close();
    QCOMPARE(profile::ReadString(path, QStringLiteral("sec"), QStringLiteral("KEY"), {}, buffer), expected);
    QCOMPARE(profile::ReadString(path, QStringLiteral("Sec"), QStringLiteral("missing"), QStringLiteral("d"),
                                 buffer),
             QStringLiteral("d"));
}

void TextTest::profileWriteKeepsOtherLinesAndEncoding()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.ini"));
    QVERIFY(profile::WriteString(path, QStringLiteral("LPID"), QStringLiteral("kx"), QStringLiteral("1")));
    QVERIFY(profile::WriteString(path, QStringLiteral("LPID2"), QStringLiteral("kx"), QStringLiteral("")));
    QVERIFY(profile::WriteString(path, QStringLiteral("lpid"), QStringLiteral("KX"), QStringLiteral("2")));
    QVERIFY(profile::WriteString(path, QStringLiteral("LPID"), QStringLiteral("이름"), QStringLiteral("값")));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), cp949::encode(QStringLiteral("[LPID]\r\nkx=2\r\n이름=값\r\n[LPID2]\r\nkx=\r\n")));
    QVERIFY(!profile::WriteString(dir.filePath(QStringLiteral("no/such/folder.ini")), QStringLiteral("a"),
                                  QStringLiteral("b"), QStringLiteral("c")));
}

void TextTest::settingsStoreFileAndLiteralValues()
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    const QString app = QStringLiteral("타벤 A/S관리");
    QCOMPARE(SettingsFilePath(app), home.path() + QStringLiteral("/asmanager/타벤 A_S관리.ini"));
    QCOMPARE(GetSetting(app, QStringLiteral("Config"), QStringLiteral("term"), QStringLiteral("0")),
             QStringLiteral("0"));
    QVERIFY(
        SaveSetting(app, QStringLiteral("Config"), QStringLiteral("passwd"), QStringLiteral(" a=b;\"c\" ")));
    QCOMPARE(GetSetting(app, QStringLiteral("config"), QStringLiteral("PASSWD")),
             QStringLiteral(" a=b;\"c\" "));
    QFile f(SettingsFilePath(app));
    QCOMPARE(
        int(f.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)),
        0);
    QVERIFY(DeleteSetting(app, QStringLiteral("Config"), QStringLiteral("passwd")));
    QCOMPARE(GetSetting(app, QStringLiteral("Config"), QStringLiteral("passwd"), QStringLiteral("none")),
             QStringLiteral("none"));
}

void TextTest::unreadableFileIsNotRewritten_data()
{
    QTest::addColumn<int>("writer");
    QTest::newRow("per-user setting saved") << 0;
    QTest::newRow("per-user setting deleted") << 1;
    QTest::newRow("config.ini or window layout value written") << 2;
}

// A settings or layout file that exists but cannot be read keeps every value it holds.
void TextTest::unreadableFileIsNotRewritten()
{
    QFETCH(int, writer);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    const QString app = QStringLiteral("타벤 업무관리");
    const QString path = writer == 2 ? home.filePath(QStringLiteral("config.ini")) : SettingsFilePath(app);
    QVERIFY(SaveSetting(app, QStringLiteral("Config"), QStringLiteral("passwd"), QStringLiteral("secret")));
    if (writer == 2)
        QVERIFY(QFile::rename(SettingsFilePath(app), path));
    const QByteArray before = ReadFileBytes(path);
    QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    bool written = true;
    {
        FilePermissionsApply asAUser;
        if (writer == 0)
            written = SaveSetting(app, QStringLiteral("Config"), QStringLiteral("term"), QStringLiteral("1"));
        else if (writer == 1)
            written = DeleteSetting(app, QStringLiteral("Config"), QStringLiteral("term"));
        else
            written =
                profile::WriteString(path, QStringLiteral("LPID"), QStringLiteral("kx"), QStringLiteral("7"));
    }
    QVERIFY(!written);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(ReadFileBytes(path), before);
}

QTEST_GUILESS_MAIN(TextTest)
#include "tst_text.moc"
