#include "sheets/XlsxReader.h"

#include "sheets/NumberFormat.h"
#include "sheets/ZipArchive.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr qint64 kMaxPartBytes = qint64(1) << 30; // what one part may unpack to
constexpr int kMaxRows = 1048576;
constexpr int kMaxCols = 16384;

struct SheetRef
{
    QString name;
    QString part; // path inside the archive
};

class XlsxReader
{
public:
    explicit XlsxReader(const QByteArray& data) : m_zip(data) {}
    bool read(ExcelBook& book);
    QString error() const { return m_error; }

private:
    bool fail(const QString& message)
    {
        m_error = message;
        return false;
    }
    bool part(const QString& name, QByteArray& out, bool required);
    bool readSheets(const QString& workbookPart, std::vector<SheetRef>& sheets);
    bool readStrings(const QString& folder);
    bool readStyles(const QString& folder);
    bool readSheet(const SheetRef& ref, ExcelSheet& sheet);
    QString elementText(QXmlStreamReader& xml, QStringView end);
    DateShape shapeOfStyle(int style) const;

    ZipArchive m_zip;
    bool m_date1904 = false;
    std::vector<QString> m_strings;
    std::vector<int> m_styleFormats;      // cellXfs: number format of each style
    std::vector<DateShape> m_styleShapes; // what each style shows of a number
    std::map<int, QString> m_formatCodes; // numFmts of the workbook
    QString m_error;
};

// Text as the workbook escapes it: "_xHHHH_" stands for the character HHHH (line ends and
// other control characters), "_x005F_" for a "_" before such a pattern.
QString unescapeText(QString text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    for (qsizetype at = text.indexOf(QLatin1String("_x")); at >= 0 && at + 7 <= text.size();
         at = text.indexOf(QLatin1String("_x"), at + 1)) {
        bool ok = false;
        const ushort code = text.mid(at + 2, 4).toUShort(&ok, 16);
        if (ok && text[at + 6] == u'_')
            text.replace(at, 7, QChar(code));
    }
    return text;
}

// A target of a relationship, as a path inside the archive.
QString resolve(const QString& folder, const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = (folder + target).split(u'/');
    for (qsizetype i = 0; i < parts.size();) {
        if (parts[i] == QLatin1String("..") && i > 0) {
            parts.remove(i - 1, 2);
            --i;
        } else if (parts[i] == QLatin1String(".")) {
            parts.remove(i);
        } else {
            ++i;
        }
    }
    return parts.join(u'/');
}

// "AB12" -> column 27 (from 0), row 11 (from 0); false for a malformed reference.
bool cellRef(QStringView ref, int& row, int& col)
{
    int c = 0, r = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (c > kMaxCols)
            return false;
    }
    if (i == 0 || i == ref.size())
        return false;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit())
            return false;
        r = r * 10 + ref[i].digitValue();
        if (r > kMaxRows)
            return false;
    }
    if (r == 0)
        return false;
    row = r - 1;
    col = c - 1;
    return true;
}

// Every relationship of a part: id -> target path.
std::map<QString, QString> relationships(const QByteArray& xml, const QString& folder, const QString& typeEnd)
{
    std::map<QString, QString> out;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"Relationship" &&
            reader.attributes().value(QLatin1String("Type")).endsWith(typeEnd))
            out[reader.attributes().value(QLatin1String("Id")).toString()] =
                resolve(folder, reader.attributes().value(QLatin1String("Target")).toString());
    return out;
}

bool XlsxReader::part(const QString& name, QByteArray& out, bool required)
{
    if (m_zip.read(name, out, kMaxPartBytes))
        return true;
    return required ? fail(QStringLiteral("the workbook has no readable part %1").arg(name)) : true;
}

QString XlsxReader::elementText(QXmlStreamReader& xml, QStringView end)
{
    // The text of <t> elements up to the end of `end`, leaving out phonetic runs.
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += unescapeText(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

bool XlsxReader::readSheets(const QString& workbookPart, std::vector<SheetRef>& sheets)
{
    QByteArray workbook, rels;
    const qsizetype slash = workbookPart.lastIndexOf(u'/');
    const QString folder = workbookPart.left(slash + 1);
    const QString relsPart =
        folder + QStringLiteral("_rels/") + workbookPart.mid(slash + 1) + QStringLiteral(".rels");
    if (!part(workbookPart, workbook, true) || !part(relsPart, rels, true))
        return false;
    const auto targets = relationships(rels, folder, QStringLiteral("/worksheet"));
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"workbookPr") {
            const QStringView v = xml.attributes().value(QLatin1String("date1904"));
            m_date1904 = v == u"1" || v == u"true";
        } else if (xml.name() == u"sheet") {
            // The relationship id is the "id" attribute of the relationships namespace.
            QString id;
            for (const QXmlStreamAttribute& a : xml.attributes())
                if (a.name() == u"id")
                    id = a.value().toString();
            const auto it = targets.find(id);
            if (it != targets.end()) // chart sheets and the like hold no cells to take
                sheets.push_back({xml.attributes().value(QLatin1String("name")).toString(), it->second});
        }
    }
    if (xml.hasError())
        return fail(QStringLiteral("%1: %2").arg(workbookPart, xml.errorString()));
    return true;
}

bool XlsxReader::readStrings(const QString& folder)
{
    QByteArray data;
    if (!part(folder + QStringLiteral("sharedStrings.xml"), data, false))
        return false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            m_strings.push_back(elementText(xml, u"si"));
    if (xml.hasError() && !data.isEmpty())
        return fail(QStringLiteral("shared strings: ") + xml.errorString());
    return true;
}

bool XlsxReader::readStyles(const QString& folder)
{
    QByteArray data;
    if (!part(folder + QStringLiteral("styles.xml"), data, false))
        return false;
    QXmlStreamReader xml(data);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == u"numFmt")
                m_formatCodes[a.value(QLatin1String("numFmtId")).toInt()] =
                    a.value(QLatin1String("formatCode")).toString();
            else if (xml.name() == u"cellXfs")
                inCellXfs = true;
            else if (xml.name() == u"xf" && inCellXfs)
                m_styleFormats.push_back(a.value(QLatin1String("numFmtId")).toInt());
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    if (xml.hasError() && !data.isEmpty())
        return fail(QStringLiteral("styles: ") + xml.errorString());
    for (int format : m_styleFormats) {
        const auto it = m_formatCodes.find(format);
        m_styleShapes.push_back(it == m_formatCodes.end() ? BuiltinDateShape(format)
                                                          : FormatDateShape(it->second));
    }
    return true;
}

DateShape XlsxReader::shapeOfStyle(int style) const
{
    if (style < 0 || size_t(style) >= m_styleShapes.size())
        return {};
    return m_styleShapes[size_t(style)];
}

bool XlsxReader::readSheet(const SheetRef& ref, ExcelSheet& sheet)
{
    QByteArray data;
    if (!part(ref.part, data, true))
        return false;
    sheet.name = ref.name;
    QXmlStreamReader xml(data);
    int row = -1, nextCol = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"row") {
            const QStringView r = xml.attributes().value(QLatin1String("r"));
            const int number = r.isEmpty() ? row + 2 : r.toInt();
            if (number <= row || number > kMaxRows)
                return fail(QStringLiteral("%1: row %2 out of order").arg(ref.part).arg(number));
            row = number - 1;
            nextCol = 0;
            continue;
        }
        if (xml.name() != u"c" || row < 0)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        ExcelCell cell;
        const QStringView r = a.value(QLatin1String("r"));
        if (r.isEmpty()) {
            cell.row = row;
            cell.col = nextCol;
        } else if (!cellRef(r, cell.row, cell.col) || cell.row != row || cell.col < nextCol) {
            return fail(QStringLiteral("%1: bad cell %2").arg(ref.part, r.toString()));
        }
        if (cell.col >= kMaxCols)
            return fail(QStringLiteral("%1: cell outside the worksheet").arg(ref.part));
        nextCol = cell.col + 1;
        const QStringView type = a.value(QLatin1String("t"));
        const int style = a.value(QLatin1String("s")).isEmpty() ? -1 : a.value(QLatin1String("s")).toInt();
        QString value;
        bool hasValue = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"v") {
                value = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == u"is") {
                value = elementText(xml, u"is");
                hasValue = true;
            }
        }
        if (!hasValue)
            continue; // a cell with a style only
        if (type == u"s") {
            bool ok;
            const uint index = value.toUInt(&ok);
            if (!ok || index >= m_strings.size())
                return fail(QStringLiteral("%1: shared string %2 does not exist").arg(ref.part, value));
            cell.kind = ExcelCellKind::Text;
            cell.text = m_strings[index];
        } else if (type == u"inlineStr" || type == u"str" || type == u"d") {
            cell.kind = ExcelCellKind::Text;
            cell.text = type == u"str" ? unescapeText(value) : value;
        } else if (type == u"b") {
            cell.kind = ExcelCellKind::Boolean;
            cell.value = QStringView(value).trimmed() == u"1" ? 1 : 0;
            cell.text = cell.value != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (type == u"e") {
            cell.kind = ExcelCellKind::Error;
            cell.text = value;
        } else {
            bool ok;
            cell.value = QStringView(value).trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(cell.value))
                return fail(QStringLiteral("%1: %2 is no number").arg(ref.part, value));
            cell.kind = ExcelCellKind::Number;
            if (const DateShape shape = shapeOfStyle(style); shape.isDate) {
                cell.text = ExcelDateText(cell.value, m_date1904, shape.withDate, shape.withTime);
                if (!cell.text.isEmpty())
                    cell.kind = ExcelCellKind::Date;
            }
            if (cell.kind == ExcelCellKind::Number)
                cell.text = ExcelNumberText(cell.value);
        }
        sheet.rows = std::max(sheet.rows, cell.row + 1);
        sheet.cols = std::max(sheet.cols, cell.col + 1);
        sheet.cells.push_back(std::move(cell));
    }
    if (xml.hasError())
        return fail(QStringLiteral("%1: %2").arg(ref.part, xml.errorString()));
    return true;
}

bool XlsxReader::read(ExcelBook& book)
{
    if (!m_zip.isOpen())
        return fail(QStringLiteral("not a zip archive"));
    QByteArray rootRels;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (part(QStringLiteral("_rels/.rels"), rootRels, false) && !rootRels.isEmpty()) {
        const auto docs = relationships(rootRels, QString(), QStringLiteral("/officeDocument"));
        if (!docs.empty())
            workbookPart = docs.begin()->second;
    }
    std::vector<SheetRef> refs;
    const QString folder = workbookPart.left(workbookPart.lastIndexOf(u'/') + 1);
    if (!readSheets(workbookPart, refs) || !readStrings(folder) || !readStyles(folder))
        return false;
    book.date1904 = m_date1904;
    for (const SheetRef& ref : refs) {
        ExcelSheet sheet;
        if (!readSheet(ref, sheet))
            return false;
        book.sheets.push_back(std::move(sheet));
    }
    return true;
}

} // namespace

bool IsZipArchive(const QByteArray& head)
{
    return head.startsWith("PK\x03\x04");
}

bool ReadXlsxBook(const QByteArray& data, ExcelBook& book, QString& error)
{
    book = ExcelBook();
    XlsxReader reader(data);
    if (reader.read(book)) {
        error.clear();
        return true;
    }
    book = ExcelBook();
    error = reader.error();
    return false;
}
