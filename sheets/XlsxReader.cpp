#include "sheets/XlsxReader.h"

#include "sheets/CellTexts.h"
#include "sheets/NumberFormat.h"
#include "sheets/XmlScanner.h"
#include "sheets/ZipArchive.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr qint64 kMaxPartBytes = qint64(1) << 30; // what one part may unpack to
constexpr int kMaxRows = 1048576;
constexpr int kMaxCols = 16384;
// The shortest cell with a value and the shortest shared string, for room to read a part into.
constexpr size_t kMinCellBytes = 15;  // <c><v>0</v></c>
constexpr size_t kMinStringBytes = 5; // <si/>

// What a cell's type attribute makes of its value.
enum class CellType
{
    Number,
    Shared,  // a shared string's index
    Text,    // an inline string, or a date written out
    Formula, // the text a formula gave, escaped as stored texts are
    Boolean,
    Error
};

CellType cellType(QByteArrayView type)
{
    if (type == "s")
        return CellType::Shared;
    if (type == "inlineStr" || type == "d")
        return CellType::Text;
    if (type == "str")
        return CellType::Formula;
    if (type == "b")
        return CellType::Boolean;
    if (type == "e")
        return CellType::Error;
    return CellType::Number;
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

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
    // The text of the <t> elements up to the end of `end`, leaving out phonetic runs.
    QString elementText(XmlScanner& xml, QByteArrayView end);
    DateShape shapeOfStyle(int style) const;
    // A number, or a shared string by its index (false when the value is neither).
    template <typename View> bool numberValue(CellType type, View value, int style, ExcelCell& cell);
    void textValue(CellType type, const QString& value, ExcelCell& cell);

    ZipArchive m_zip;
    bool m_date1904 = false;
    std::vector<QString> m_strings;
    std::vector<int> m_styleFormats;      // cellXfs: number format of each style
    std::vector<DateShape> m_styleShapes; // what each style shows of a number
    std::map<int, QString> m_formatCodes; // numFmts of the workbook
    CellTexts m_numberTexts;
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
bool cellRef(QByteArrayView ref, int& row, int& col)
{
    int c = 0, r = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z')); ++i) {
        c = c * 26 + ((ref[i] & ~0x20) - 'A' + 1);
        if (c > kMaxCols)
            return false;
    }
    if (i == 0 || i == ref.size())
        return false;
    for (; i < ref.size(); ++i) {
        if (ref[i] < '0' || ref[i] > '9')
            return false;
        r = r * 10 + (ref[i] - '0');
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

QString XlsxReader::elementText(XmlScanner& xml, QByteArrayView end)
{
    QString text;
    int phonetic = 0;
    for (XmlScanner::Token token = xml.next();
         token == XmlScanner::StartElement || token == XmlScanner::EndElement; token = xml.next()) {
        if (token == XmlScanner::StartElement) {
            if (xml.name() == "rPh")
                ++phonetic;
            else if (xml.name() == "t" && phonetic == 0)
                text += unescapeText(xml.decode(xml.readElementText(true)));
        } else if (xml.name() == "rPh") {
            --phonetic;
        } else if (xml.name() == end) {
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
    if (data.isEmpty())
        return true;
    XmlScanner xml(data);
    for (XmlScanner::Token token = xml.next();
         token == XmlScanner::StartElement || token == XmlScanner::EndElement; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == "sst")
            m_strings.reserve(std::min(size_t(xml.attribute("uniqueCount").toUInt()),
                                       size_t(data.size()) / kMinStringBytes));
        else if (xml.name() == "si")
            m_strings.push_back(elementText(xml, "si"));
    }
    if (xml.hasError())
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

template <typename View> bool XlsxReader::numberValue(CellType type, View value, int style, ExcelCell& cell)
{
    bool ok;
    if (type == CellType::Shared) {
        const uint index = value.toUInt(&ok);
        if (!ok || index >= m_strings.size())
            return false;
        cell.kind = ExcelCellKind::Text;
        cell.text = m_strings[index];
        return true;
    }
    cell.value = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(cell.value))
        return false;
    bool isDate;
    cell.text = m_numberTexts.text(cell.value, shapeOfStyle(style), m_date1904, isDate);
    cell.kind = isDate ? ExcelCellKind::Date : ExcelCellKind::Number;
    return true;
}

void XlsxReader::textValue(CellType type, const QString& value, ExcelCell& cell)
{
    switch (type) {
    case CellType::Boolean:
        cell.kind = ExcelCellKind::Boolean;
        cell.value = QStringView(value).trimmed() == u"1" ? 1 : 0;
        cell.text = cell.value != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        break;
    case CellType::Error:
        cell.kind = ExcelCellKind::Error;
        cell.text = value;
        break;
    default:
        cell.kind = ExcelCellKind::Text;
        cell.text = type == CellType::Formula ? unescapeText(value) : value;
        break;
    }
}

bool XlsxReader::readSheet(const SheetRef& ref, ExcelSheet& sheet)
{
    QByteArray data;
    if (!part(ref.part, data, true))
        return false;
    sheet.name = ref.name;
    XmlScanner xml(data);
    int row = -1, nextCol = 0;
    for (XmlScanner::Token token = xml.next();
         token == XmlScanner::StartElement || token == XmlScanner::EndElement; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == "dimension") {
            // The used range: room for its cells, as many as the part can hold.
            const QByteArrayView range = xml.attribute("ref");
            int lastRow, lastCol;
            if (cellRef(range.sliced(range.lastIndexOf(':') + 1), lastRow, lastCol))
                sheet.cells.reserve(
                    std::min(size_t(lastRow + 1) * size_t(lastCol + 1), size_t(data.size()) / kMinCellBytes));
            continue;
        }
        if (xml.name() == "row") {
            const QByteArrayView r = xml.attribute("r");
            const int number = r.isEmpty() ? row + 2 : r.toInt();
            if (number <= row || number > kMaxRows)
                return fail(QStringLiteral("%1: row %2 out of order").arg(ref.part).arg(number));
            row = number - 1;
            nextCol = 0;
            continue;
        }
        if (xml.name() != "c" || row < 0)
            continue;
        ExcelCell cell;
        const QByteArrayView r = xml.attribute("r");
        if (r.isEmpty()) {
            cell.row = row;
            cell.col = nextCol;
        } else if (!cellRef(r, cell.row, cell.col) || cell.row != row || cell.col < nextCol) {
            return fail(QStringLiteral("%1: bad cell %2").arg(ref.part, QString::fromUtf8(r)));
        }
        if (cell.col >= kMaxCols)
            return fail(QStringLiteral("%1: cell outside the worksheet").arg(ref.part));
        nextCol = cell.col + 1;
        const CellType type = cellType(xml.attribute("t"));
        const QByteArrayView s = xml.attribute("s");
        const int style = s.isEmpty() ? -1 : s.toInt();
        // The value: the text of <v>, or of the <t> elements of <is>.
        QByteArrayView value;
        QString inlineValue;
        bool hasValue = false, isInline = false;
        for (token = xml.next();
             token == XmlScanner::StartElement || (token == XmlScanner::EndElement && xml.name() != "c");
             token = xml.next()) {
            if (token == XmlScanner::StartElement && xml.name() == "v") {
                value = xml.readElementText(false);
                hasValue = true;
                isInline = false;
            } else if (token == XmlScanner::StartElement && xml.name() == "is") {
                inlineValue = elementText(xml, "is");
                hasValue = isInline = true;
            }
        }
        if (!hasValue || xml.hasError())
            continue; // a cell with a style only; a damaged part is told below
        if (type == CellType::Number && !isInline && value.trimmed().isEmpty())
            continue; // a formula not worked out yet: some writers leave its value empty
        if (type == CellType::Number || type == CellType::Shared) {
            // The usual number or string index is read where it stands.
            const bool plain = !isInline && isAscii(value);
            const QString text = plain ? QString() : isInline ? inlineValue : xml.decode(value);
            if (!(plain ? numberValue(type, value, style, cell)
                        : numberValue(type, QStringView(text), style, cell)))
                return fail((type == CellType::Shared ? QStringLiteral("%1: shared string %2 does not exist")
                                                      : QStringLiteral("%1: %2 is no number"))
                                .arg(ref.part, plain ? xml.decode(value) : text));
        } else {
            textValue(type, isInline ? inlineValue : xml.decode(value), cell);
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
