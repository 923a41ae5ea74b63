#include "Version.h"
#include "platform/ExeImage.h"
#include "platform/LanguageNames.h"
#include "platform/VersionInfo.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString exe(const char* name)
{
    return QStringLiteral(AS_EXE_DIR "/") + QLatin1String(name);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList notSpecified(const QStringList& keys)
{
    QStringList out;
    for (const QString& k : keys)
        out << k + QStringLiteral(": Not specified");
    return out;
}

// Every 32-bit field in [from, to) set in turn to values that point far away; the
// reader must give an empty result or bytes of the image, and never read past it.
void overwriteFields(QByteArray image, qsizetype from, qsizetype to)
{
    const quint32 values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00010000u, 0};
    for (qsizetype at = from; at + 4 <= to && at + 4 <= image.size(); at += 2) {
        const QByteArray saved = image.mid(at, 4);
        for (quint32 v : values) {
            qToLittleEndian(v, image.data() + at);
            const QByteArray block = VersionBlockFromImage(image);
            if (!block.isEmpty() && !image.contains(block))
                QFAIL(qPrintable(QStringLiteral("block not from the image at offset %1").arg(at)));
            VersionInfoListFromBlock(block);
        }
        image.replace(at, 4, saved);
    }
}

} // namespace

class VersionInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileVersion_data();
    void fileVersion();
    void entriesOfAWindowsProgram();
    void entriesWithOtherLanguage();
    void filesWithoutVersion_data();
    void filesWithoutVersion();
    void buildToolWritesWhatTheResourceCompilerWrites();
    void elfSectionOfOurOwnBuild();
    void formatFileVersion_data();
    void formatFileVersion();
    void languageTable();
    void languageNames_data();
    void languageNames();
    void truncatedFilesGiveNothing_data();
    void truncatedFilesGiveNothing();
    void corruptHeadersNeverReadOutside();
    void randomBlocksGiveThirteenEntries();

private:
    QTemporaryDir m_dir;
};

void VersionInfoTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile empty(m_dir.filePath(QStringLiteral("empty.exe")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
}

void VersionInfoTest::fileVersion_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("keepLastPart");
    QTest::addColumn<QString>("expected");
    QTest::newRow("2.0.0.7 kept") << exe("version-2007.exe") << true << "2.0.0.7";
    QTest::newRow("2.0.0.7 without last") << exe("version-2007.exe") << false << "2.0.0";
    QTest::newRow("leading zeros kept as number") << exe("leading-zeros.exe") << true << "1.00.15";
    QTest::newRow("leading zeros without last") << exe("leading-zeros.exe") << false << "1.00";
    QTest::newRow("no version resource") << exe("no-version.exe") << true << "";
    QTest::newRow("no resource section") << exe("no-rsrc.exe") << true << "";
    QTest::newRow("missing file") << exe("nothing-here.exe") << true << "";
}

void VersionInfoTest::fileVersion()
{
    QFETCH(QString, file);
    QFETCH(bool, keepLastPart);
    QFETCH(QString, expected);
    QCOMPARE(GetFileVer(file, keepLastPart, false), expected);
    QCOMPARE(GetFileVer(file, keepLastPart, true), expected);
}

void VersionInfoTest::entriesOfAWindowsProgram()
{
    const QStringList expected =
        QStringList{
            QStringLiteral("CompanyName: 타벤"),
            QStringLiteral("FileDescription: A/S 관리"),
            QStringLiteral("FileVersion: 2.0.0.7"),
            QStringLiteral("InternalName: asmanager"),
            QStringLiteral("LegalCopyright: Copyright (C) 2009"),
            QStringLiteral("OriginalFilename: asmanager.exe"),
            QStringLiteral("ProductName: 타벤 A/S관리"),
            QStringLiteral("ProductVersion: 2.0"),
            QStringLiteral("Comments: 사내용"),
        } +
        notSpecified({"LegalTrademarks", "PrivateBuild", "SpecialBuild"}) +
        QStringList{QStringLiteral("Language: Korean")};
    QCOMPARE(GetVersionInfoList(exe("version-2007.exe")), expected);
}

void VersionInfoTest::entriesWithOtherLanguage()
{
    const QStringList expected =
        QStringList{QStringLiteral("CompanyName: Tirana Soft")} + notSpecified({"FileDescription"}) +
        QStringList{QStringLiteral("FileVersion: 1.00.0015")} +
        notSpecified({"InternalName", "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
                      "Comments", "LegalTrademarks"}) +
        QStringList{QStringLiteral("PrivateBuild: nightly"), QStringLiteral("SpecialBuild: x"),
                    QStringLiteral("Language: Albanian")};
    QCOMPARE(GetVersionInfoList(exe("leading-zeros.exe")), expected);
}

void VersionInfoTest::filesWithoutVersion_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("string table only") << exe("no-version.exe");
    QTest::newRow("resource section removed") << exe("no-rsrc.exe");
    QTest::newRow("resource script") << qEnvironmentVariable("AS_SOURCE_DIR") +
                                            "/tests/platform/rc/version-2007.rc";
    QTest::newRow("empty file") << m_dir.filePath(QStringLiteral("empty.exe"));
    QTest::newRow("folder") << QStringLiteral(AS_EXE_DIR);
}

void VersionInfoTest::filesWithoutVersion()
{
    QFETCH(QString, file);
    QCOMPARE(GetVersionInfoList(file), QStringList());
    QCOMPARE(GetFileVer(file, true), QString());
}

void VersionInfoTest::buildToolWritesWhatTheResourceCompilerWrites()
{
    const QByteArray windres = ReadVersionBlock(exe("as-built.exe"));
    QVERIFY(!windres.isEmpty());
    QCOMPARE(readAll(exe("as-built.bin")).toHex(' '), windres.toHex(' '));
}

void VersionInfoTest::elfSectionOfOurOwnBuild()
{
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList entries = GetVersionInfoList(self);
    QCOMPARE(entries.size(), 13);
    QCOMPARE(entries[0], QStringLiteral("CompanyName: 타벤"));
    QCOMPARE(entries[1], QStringLiteral("FileDescription: Version reader test"));
    QCOMPARE(entries[2], QStringLiteral("FileVersion: " AS_VERSION_TEXT));
    QCOMPARE(entries[3], QStringLiteral("InternalName: test_platform_version"));
    QCOMPARE(entries[5], QStringLiteral("OriginalFilename: test_platform_version"));
    QCOMPARE(entries[6], QStringLiteral("ProductName: 타벤 A/S관리"));
    QCOMPARE(entries[7], QStringLiteral("ProductVersion: " AS_VERSION_TEXT));
    QCOMPARE(entries[12], QStringLiteral("Language: Korean"));
    QCOMPARE(GetFileVer(self, true), QStringLiteral(AS_VERSION_TEXT));

    // The same block in a 32-bit object file.
    const QStringList elf32 = GetVersionInfoList(exe("elf32.o"));
    QCOMPARE(elf32.value(1), QStringLiteral("FileDescription: ELF32 sample"));
    QCOMPARE(elf32.value(2), QStringLiteral("FileVersion: " AS_VERSION_TEXT));
}

void VersionInfoTest::formatFileVersion_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zeros") << "1.00.0015" << true << "1.00.15";
    QTest::newRow("all zeros") << "3.0.000" << true << "3.0.0";
    QTest::newRow("not a number") << "1.0.beta" << true << "1.0.beta";
    QTest::newRow("no dot kept") << "0012" << true << "12";
    QTest::newRow("no dot cut") << "12" << false << "";
    QTest::newRow("commas") << "2, 0, 0, 7" << true << "2, 0, 0, 7";
    QTest::newRow("long number") << "1.99999999999999999999" << true << "1.99999999999999999999";
}

void VersionInfoTest::formatFileVersion()
{
    QFETCH(QString, value);
    QFETCH(bool, keep);
    QFETCH(QString, expected);
    QCOMPARE(FormatFileVersion(value, keep), expected);
}

void VersionInfoTest::languageTable()
{
    // Every identifier of the table, in lookup order.
    const QStringList ids =
        QStringLiteral("0436 041C 3801 3C01 1401 0C01 0801 2C01 3401 3001 1001 1801 2001 4001 0401 2801 1C01 "
                       "2401 042D 0423 "
                       "0402 0403 0804 0C04 1004 0404 041A 0405 0406 0413 0813 0C09 2809 1009 1809 2009 1409 "
                       "1C09 2C09 0809 "
                       "0409 0425 0429 040B 0438 040C 080C 0C0C 140C 100C 043C 0407 0C07 1407 1007 0807 0408 "
                       "040D 0439 040E "
                       "040F 0421 0410 0810 0411 0412 0426 0427 042F 043E 043A 0414 0415 0816 0416 0417 0418 "
                       "0818 0419 0819 "
                       "0C1A 0432 0424 041B 042E 040A 2C0A 400A 340A 240A 140A 1C0A 300A 100A 480A 080A 4C0A "
                       "180A 280A 500A "
                       "3C0A 440A 380A 200A 0430 041D 081D 041E 041F 0431 0422 0420 042A 0434 043D 0435")
            .split(QLatin1Char(' '));
    int count = 0;
    const LanguageEntry* table = LanguageTable(&count);
    QCOMPARE(count, 116);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QCOMPARE(QString::fromLatin1(table[i].id), ids.at(i));
        QVERIFY(!QByteArray(table[i].name).isEmpty());
        names << QString::fromUtf8(table[i].name);
    }
    QCOMPARE(names.removeDuplicates(), 0);
}

void VersionInfoTest::languageNames_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("korean block") << "041204b0"
                                  << "Korean";
    QTest::newRow("albanian lower case") << "041c04b0"
                                         << "Albanian";
    QTest::newRow("us") << "0409"
                        << "English - United States";
    QTest::newRow("japanese") << "041104E4"
                              << "Japanese";
    QTest::newRow("prc") << "0804"
                         << "Chinese - PRC";
    QTest::newRow("hong kong") << "0c04"
                               << "Chinese - Hong Kong S.A.R.";
    QTest::newRow("saudi") << "0401"
                           << "Arabic - Saudia Arabia";
    QTest::newRow("liechtenstein") << "1407"
                                   << "German - Lichtenstein";
    QTest::newRow("colombia") << "240a"
                              << "Spanish - Columbia";
    QTest::newRow("bokmal") << "0414"
                            << "Norwegian - Bokm책l";
    QTest::newRow("setswana") << "0432"
                              << "Setsuana";
    QTest::newRow("ukrainian") << "0422"
                               << "Ukranian";
    QTest::newRow("zulu last") << "0435"
                               << "Zulu";
    QTest::newRow("unknown") << "7FFF04b0"
                             << "";
    QTest::newRow("short") << "04"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void VersionInfoTest::languageNames()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(LanguageName(code), name);
}

void VersionInfoTest::truncatedFilesGiveNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("pe") << exe("version-2007.exe");
    QTest::newRow("elf32") << exe("elf32.o");
}

void VersionInfoTest::truncatedFilesGiveNothing()
{
    QFETCH(QString, file);
    const QByteArray image = readAll(file);
    const QByteArray block = VersionBlockFromImage(image);
    QVERIFY(!block.isEmpty());
    const qsizetype blockEnd = image.indexOf(block) + block.size();
    for (qsizetype size = 0; size < image.size(); ++size) {
        const QByteArray got = VersionBlockFromImage(QByteArrayView(image).first(size));
        if (size < blockEnd)
            QVERIFY2(got.isEmpty(), qPrintable(QString::number(size)));
        else
            QVERIFY(got.isEmpty() || got == block);
    }
}

void VersionInfoTest::corruptHeadersNeverReadOutside()
{
    // Headers, section tables and resource directory of a Windows program, and the
    // headers and section table of an ELF object.
    const QByteArray pe = readAll(exe("version-2007.exe"));
    QVERIFY(!pe.isEmpty());
    overwriteFields(pe, 0, pe.size());
    const QByteArray elf = readAll(exe("elf32.o"));
    QVERIFY(!elf.isEmpty());
    overwriteFields(elf, 0, elf.size());
}

void VersionInfoTest::randomBlocksGiveThirteenEntries()
{
    QRandomGenerator random(20240611);
    const QByteArray block = ReadVersionBlock(exe("version-2007.exe"));
    for (int round = 0; round < 2000; ++round) {
        QByteArray mutated = block.left(random.bounded(int(block.size()) + 1));
        for (int i = random.bounded(8); i >= 0 && !mutated.isEmpty(); --i)
            mutated[random.bounded(int(mutated.size()))] = char(random.bounded(256));
        const QStringList entries = VersionInfoListFromBlock(mutated);
        QCOMPARE(entries.size(), mutated.isEmpty() ? 0 : 13);
    }
}

QTEST_GUILESS_MAIN(VersionInfoTest)
#include "tst_versioninfo.moc"
