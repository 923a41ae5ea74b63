// asdemo-data: writes the demo database contents as SQL (CP949) and the demo
// screenshots into a share folder.
//   asdemo-data --sql FILE [--records N] [--share-dir DIR] [--share-host HOST]
//               [--base-date YYYY-MM-DD] [--mac ADDRESS]
#include "DemoData.h"
#include "Screenshots.h"
#include "common/Cp949.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("sql"), QStringLiteral("SQL file to write."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("records"), QStringLiteral("Number of A/S records (up to 1000000)."),
                      QStringLiteral("n"), QStringLiteral("300")});
    parser.addOption({QStringLiteral("share-dir"),
                      QStringLiteral("Folder of the screenshot share (사내문서/7_AS스샷 is made below it)."),
                      QStringLiteral("dir")});
    parser.addOption({QStringLiteral("share-host"), QStringLiteral("File server name in stored paths."),
                      QStringLiteral("host"), QStringLiteral("demoshare")});
    parser.addOption({QStringLiteral("base-date"), QStringLiteral("Day of the newest request."),
                      QStringLiteral("date"), QStringLiteral("2026-12-01")});
    parser.addOption({QStringLiteral("mac"), QStringLiteral("Adapter address of the demo PC."),
                      QStringLiteral("address")});
    parser.process(app);

    DemoOptions o;
    bool ok = false;
    o.records = parser.value(QStringLiteral("records")).toInt(&ok);
    o.baseDate = QDate::fromString(parser.value(QStringLiteral("base-date")), QStringLiteral("yyyy-MM-dd"));
    if (!ok || o.records < 1 || o.records > 1000000 || !o.baseDate.isValid() ||
        !parser.isSet(QStringLiteral("sql"))) {
        std::fprintf(stderr,
                     "asdemo-data: give --sql FILE, 1 <= --records <= 1000000 and --base-date YYYY-MM-DD\n");
        return 2;
    }
    o.shareHost = parser.value(QStringLiteral("share-host"));
    o.pcMac = parser.value(QStringLiteral("mac"));
    if (parser.isSet(QStringLiteral("share-dir")))
        WriteDemoScreenshots(parser.value(QStringLiteral("share-dir")) + QStringLiteral("/사내문서/7_AS스샷"),
                             o.records);

    QFile out(parser.value(QStringLiteral("sql")));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "asdemo-data: cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    WriteDemoSql(o, [&out](const QString& text) { out.write(cp949::encode(text)); });
    return out.error() == QFile::NoError ? 0 : 1;
}
