#include "MsgRecorder.h"
#include "controls/EdgeLayout.h"
#include "controls/NumberText.h"
#include "controls/PhoneTime.h"

#include <QtTest>

class FormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void telNo_data();
    void telNo();
    void time_data();
    void time();
    void numberFormats_data();
    void numberFormats();
    void edgeLayout_data();
    void edgeLayout();
};

void FormatsTest::telNo_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    QTest::newRow("seoul ten digits") << "0212345678"
                                      << "02-1234-5678" << none;
    QTest::newRow("seoul nine digits") << "021234567"
                                       << "02-123-4567" << none;
    QTest::newRow("province ten digits") << "0311234567"
                                         << "031-123-4567" << none;
    QTest::newRow("mobile eleven digits") << "01012345678"
                                          << "010-1234-5678" << none;
    QTest::newRow("0505 twelve digits") << "050512345678"
                                        << "0505-1234-5678" << none;
    QTest::newRow("eight digits without area") << "12345678"
                                               << "1234-5678" << none;
    QTest::newRow("brackets and dash reduced to digits") << "(02)123-4567"
                                                         << "02-123-4567" << none;
    QTest::newRow("short text unchanged") << "1234"
                                          << "1234" << none;
    QTest::newRow("five characters unchanged") << "02-12"
                                               << "02-12" << none;
    QTest::newRow("seoul six digits leaves the middle empty") << "021234"
                                                              << "02--1234" << none;
    QTest::newRow("0505 eight digits leaves the middle empty") << "05051234"
                                                               << "0505--1234" << none;
    QTest::newRow("seoul five digits: error, digits kept")
        << "02-123"
        << "02123"
        << QStringList{"Error 5 (Invalid procedure call or argument) in procedure FormatTelNo of User "
                       "Control HCText"};
    QTest::newRow("0505 seven digits: error, digits kept")
        << "0505-123"
        << "0505123"
        << QStringList{"Error 5 (Invalid procedure call or argument) in procedure FormatTelNo of User "
                       "Control HCText"};
    QTest::newRow("no digits at all") << "abcdefg"
                                      << "" << none;
    QTest::newRow("four digits after removing the rest") << "tel:1234"
                                                         << "1234" << none;
    QTest::newRow("zero prefix shorter than nine") << "01234567"
                                                   << "0123-4567" << none;
}

void FormatsTest::telNo()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(QStringList, messages);
    MsgRecorder msgs;
    QCOMPARE(FormatTelNo(input), expected);
    QCOMPARE(msgs.texts(), messages);
}

void FormatsTest::time_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("shown"); // the time named in the message, "" for none
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("one digit") << "9"
                               << "09:00"
                               << "";
    QTest::newRow("two digits") << "14"
                                << "14:00"
                                << "";
    QTest::newRow("hour 25") << "25"
                             << ""
                             << "25:00";
    QTest::newRow("three digits: nothing said") << "930"
                                                << ""
                                                << "";
    QTest::newRow("four digits") << "0930"
                                 << "09:30"
                                 << "";
    QTest::newRow("four digits afternoon") << "1425"
                                           << "14:25"
                                           << "";
    QTest::newRow("with colon") << "14:25"
                                << "14:25"
                                << "";
    QTest::newRow("with point") << "14.25"
                                << "14:25"
                                << "";
    QTest::newRow("five digits") << "14255"
                                 << "14:55"
                                 << "";
    QTest::newRow("midnight 24:00") << "24:00"
                                    << ""
                                    << "24:00";
    QTest::newRow("minute 60") << "1260"
                               << ""
                               << "12:60";
    QTest::newRow("last minute") << "2359"
                                 << "23:59"
                                 << "";
    QTest::newRow("six characters") << "123456"
                                    << ""
                                    << "";
    QTest::newRow("letters") << "ab"
                             << ""
                             << "ab:00";
}

void FormatsTest::time()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(QString, shown);
    MsgRecorder msgs;
    QCOMPARE(FormatTime(input), expected);
    if (shown.isEmpty()) {
        QCOMPARE(msgs.count(), 0);
        return;
    }
    QCOMPARE(msgs.count(), 1);
    QCOMPARE(msgs.last().text, QStringLiteral("[%1]는 시간형식이 아닙니다.(00:00~23:59)\r\n"
                                              "시:분 방식으로 입력하세요.\r\n"
                                              "예) 14:25 또는 1425\r\n"
                                              "     01:05 또는 0105")
                                   .arg(shown));
    QCOMPARE(msgs.last().icon, MsgIcon::Information);
    QCOMPARE(msgs.last().buttons, MsgButtons::Ok);
    QCOMPARE(msgs.last().title, QStringLiteral("타벤 A/S관리"));
}

void FormatsTest::numberFormats_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("separators");
    QTest::addColumn<QString>("expected");
    QTest::newRow("separators") << "1234567" << 0 << true << "1,234,567";
    QTest::newRow("separators removed") << "1,234.50" << 2 << false << "1234.50";
    QTest::newRow("half rounds away from zero") << "2.5" << 0 << false << "3";
    QTest::newRow("negative half") << "-2.5" << 0 << false << "-3";
    QTest::newRow("rounding carries") << "999.995" << 2 << true << "1,000.00";
    QTest::newRow("trailing sign") << "12-" << 0 << true << "-12";
    QTest::newRow("negative zero loses its sign") << "-0" << 2 << true << "0.00";
    QTest::newRow("point only fraction") << ".5" << 2 << true << "0.50";
    QTest::newRow("not a number unchanged") << "1-2" << 0 << true << "1-2";
    QTest::newRow("empty unchanged") << "" << 2 << true << "";
    QTest::newRow("long number exact") << "12345678901234567890" << 0 << true << "12,345,678,901,234,567,890";
}

void FormatsTest::numberFormats()
{
    QFETCH(QString, input);
    QFETCH(int, decimals);
    QFETCH(bool, separators);
    QFETCH(QString, expected);
    QCOMPARE(numtext::format(input, decimals, separators), expected);
}

void FormatsTest::edgeLayout_data()
{
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("topMargin");
    QTest::addColumn<QList<int>>("box"); // left, top, width, height
    QTest::addColumn<bool>("white");
    QTest::addColumn<QList<int>>("offsets"); // a, b
    // A control of 1500 x 300 twips (100 x 20 pixels).
    QTest::newRow("lines hidden") << 1 << false << 0 << QList<int>{0, 0, 1500, 300} << false
                                  << QList<int>{0, 0};
    QTest::newRow("one pixel") << 1 << true << 0 << QList<int>{15, 15, 1470, 270} << true
                               << QList<int>{0, 15};
    QTest::newRow("two pixels (focused)")
        << 2 << true << 0 << QList<int>{30, 30, 1440, 240} << true << QList<int>{15, 15};
    QTest::newRow("three pixels") << 3 << true << 0 << QList<int>{45, 45, 1410, 210} << true
                                  << QList<int>{15, 30};
    QTest::newRow("top margin") << 1 << true << 60 << QList<int>{15, 75, 1470, 150} << true
                                << QList<int>{0, 15};
    QTest::newRow("margin too large")
        << 1 << true << 200 << QList<int>{15, 0, 1470, 300} << false << QList<int>{0, 15};
    QTest::newRow("margin without lines")
        << 1 << false << 30 << QList<int>{0, 30, 1500, 240} << true << QList<int>{0, 0};
}

void FormatsTest::edgeLayout()
{
    QFETCH(int, lineWidth);
    QFETCH(bool, shown);
    QFETCH(int, topMargin);
    QFETCH(QList<int>, box);
    QFETCH(bool, white);
    QFETCH(QList<int>, offsets);
    const EdgeLayout l = ComputeEdgeLayout(1500, 300, lineWidth, shown, topMargin);
    QCOMPARE((QList<int>{l.boxLeft, l.boxTop, l.boxWidth, l.boxHeight}), box);
    QCOMPARE(l.whiteSurface, white);
    const int a = offsets[0];
    const int b = offsets[1];
    QCOMPARE(l.lines[0], (EdgeLine{0, a, 1500, a}));
    QCOMPARE(l.lines[1], (EdgeLine{0, 300 - b, 1500, 300 - b}));
    QCOMPARE(l.lines[2], (EdgeLine{a, 0, a, 300}));
    QCOMPARE(l.lines[3], (EdgeLine{1500 - b, 0, 1500 - b, 300}));
}

QTEST_MAIN(FormatsTest)
#include "tst_formats.moc"
