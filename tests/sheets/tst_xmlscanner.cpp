#include "sheets/XmlScanner.h"

#include <QtTest>

namespace {

// The document as the xlsx reader walks it: "<name r=.. t=.. s=..>" for each start,
// "</name>" for each end, and "{text}" for the text of <v> (no elements inside) and
// <t> (their texts too); "!" where the document turns out damaged.
QString walk(const QByteArray& document)
{
    XmlScanner xml(document);
    QString out;
    for (XmlScanner::Token token = xml.next(); token != XmlScanner::EndDocument; token = xml.next()) {
        if (token == XmlScanner::Invalid)
            return out + u'!';
        const QString name = QString::fromUtf8(xml.name());
        if (token == XmlScanner::EndElement) {
            out += QStringLiteral("</%1>").arg(name);
            continue;
        }
        out += u'<' + name;
        for (const char* attribute : {"r", "t", "s"})
            if (!xml.attribute(attribute).isEmpty())
                out += QStringLiteral(" %1=%2").arg(QLatin1String(attribute),
                                                    xml.decode(xml.attribute(attribute)));
        out += u'>';
        if (name == u"v" || name == u"t") {
            const QString text = xml.decode(xml.readElementText(name == u"t"));
            if (xml.hasError())
                return out + u'!';
            out += u'{' + text + u'}';
        }
    }
    return xml.hasError() ? out + u'!' : out;
}

} // namespace

class XmlScannerTest : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
};

void XmlScannerTest::walk_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("walked");
    QTest::newRow("declaration, attributes, empty elements")
        << QByteArray(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a><c r=\"A1\" s='2' t = \"s\"><v>12</v></c>"
               "<c r=\"B1\"/><d/></a>")
        << "<a><c r=A1 t=s s=2><v>{12}</c><c r=B1></c><d></d></a>";
    QTest::newRow("prefixes") << QByteArray("<x:a xmlns:x=\"u\"><x:v>1</x:v></x:a>") << "<a><v>{1}</a>";
    QTest::newRow("references") << QByteArray("<v>&lt;&gt;&amp;&apos;&quot;&#65;&#x42;&#xD55C;&#128512;</v>")
                                << QString::fromUtf8("<v>{<>&'\"AB한😀}");
    QTest::newRow("UTF-8 text, byte-order mark")
        << QByteArray("\xEF\xBB\xBF<t>매출 저장</t>") << QString::fromUtf8("<t>{매출 저장}");
    QTest::newRow("CDATA, comments and instructions inside a text")
        << QByteArray("<t>a<![CDATA[<b>&amp;]]><!--c-->c<?p x?>d</t>") << "<t>{a<b>&amp;cd}";
    QTest::newRow("elements inside <t> give their text")
        << QByteArray("<is><t>a<b>b</b>c<br/>d</t><t/></is>") << "<is><t>{abcd}<t>{}</is>";
    QTest::newRow("line ends") << QByteArray("<a r=\"x\ty\r\nz&#10;\"><t>a\r\nb\rc</t></a>")
                               << "<a r=x y z\n><t>{a\nb\nc}</a>";
    QTest::newRow("comments and white space around the root")
        << QByteArray("<!-- x -->\n<a>\r\n <v> 7 </v>\n</a>\n<!-- y -->\n") << "<a><v>{ 7 }</a>";
    QTest::newRow("UTF-16 by its byte-order mark")
        << QByteArray("\xFF\xFE<\0a\0>\0<\0v\0>\0\x5C\xD5<\0/\0v\0>\0<\0/\0a\0>\0", 32)
        << QString::fromUtf8("<a><v>{한}</a>");
    QTest::newRow("Latin-1 as declared")
        << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?><t>caf\xE9</t>")
        << QString::fromUtf8("<t>{café}");
    QTest::newRow("element inside <v>") << QByteArray("<a><v>1<b/></v></a>") << "<a><v>!";
    QTest::newRow("tags that do not match") << QByteArray("<a><v>1</a></v>") << "<a><v>!";
    QTest::newRow("cut short") << QByteArray("<a><c r=\"A1\"><v>1</v>") << "<a><c r=A1><v>{1}!";
    QTest::newRow("cut inside a tag") << QByteArray("<a><c r=\"A") << "<a>!";
    QTest::newRow("unknown reference") << QByteArray("<t>a&nbsp;b</t>") << "<t>!";
    QTest::newRow("reference to no character") << QByteArray("<t>&#0;</t>") << "<t>!";
    QTest::newRow("attribute twice") << QByteArray("<a><c r=\"A1\" r=\"A2\"/></a>") << "<a>!";
    QTest::newRow("attributes without space") << QByteArray("<a><c r=\"A1\"s=\"1\"/></a>") << "<a>!";
    QTest::newRow("unquoted attribute") << QByteArray("<a r=1/>") << "!";
    QTest::newRow("'<' in an attribute") << QByteArray("<a r=\"<\"/>") << "!";
    QTest::newRow("text after the root") << QByteArray("<a/>junk") << "<a></a>!";
    QTest::newRow("second root") << QByteArray("<a/><b/>") << "<a></a>!";
    QTest::newRow("document type") << QByteArray("<!DOCTYPE a [<!ENTITY e \"1\">]><a>&e;</a>") << "!";
    QTest::newRow("no root") << QByteArray("<?xml version=\"1.0\"?>") << "!";
    QTest::newRow("text not in UTF-8") << QByteArray("<t>a\xFF\xFE</t>") << "<t>!";
}

void XmlScannerTest::walk()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, walked);
    QCOMPARE(::walk(document), walked);
}

QTEST_GUILESS_MAIN(XmlScannerTest)
#include "tst_xmlscanner.moc"
