#include "grid/ExcelBiff.h"

#include "common/Cp949.h"
#include "grid/SpreadGrid.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

// Record ids. Excel 3.0 renumbered most cell records (0x02xx) and widened their
// format field to an XF index of two bytes; either form is read in either version.
enum : quint16
{
    RecBof2 = 0x0009,
    RecBof3 = 0x0209,
    RecBof4 = 0x0409,
    RecBof5 = 0x0809,
    RecEof = 0x000A,
    RecInteger2 = 0x0002,
    RecNumber2 = 0x0003,
    RecLabel2 = 0x0004,
    RecBoolErr2 = 0x0005,
    RecFormula2 = 0x0006,
    RecString2 = 0x0007,
    RecFormat = 0x001E,
    RecDateMode = 0x0022,
    RecCodePage = 0x0042,
    RecXf2 = 0x0043,
    RecIxfe = 0x0044,
    RecNumber3 = 0x0203,
    RecLabel3 = 0x0204,
    RecBoolErr3 = 0x0205,
    RecFormula3 = 0x0206,
    RecString3 = 0x0207,
    RecXf3 = 0x0243,
    RecRk = 0x027E
};

constexpr quint16 kWorksheet = 0x0010;
constexpr int kMaxRows = 16384; // rows and columns of an Excel 2.x / 3.0 worksheet
constexpr int kMaxCols = 256;
constexpr int kXfFromIxfe = 63;

quint16 u16(const char* p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}

quint32 u32(const char* p)
{
    return quint32(u16(p)) | (quint32(u16(p + 2)) << 16);
}

double f64(const char* p)
{
    double d;
    std::memcpy(&d, p, sizeof d); // the file is little-endian, as is every platform we build for
    return d;
}

double rkValue(quint32 rk)
{
    double value;
    if (rk & 2) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

QString errorText(int code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

// What a number format shows of a date serial number.
struct DateShape
{
    bool isDate = false;
    bool withDate = false;
    bool withTime = false;
};

// A format is a date format when, leaving out quoted text, escaped characters and
// [colour] parts, it has more date letters (y m d h s) than digit places (0 # ?).
DateShape dateShape(const QString& format)
{
    QString letters;
    bool elapsed = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'"') {
            const qsizetype end = format.indexOf(u'"', i + 1);
            i = end < 0 ? format.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = format.indexOf(u']', i + 1);
            const QString inside = format.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                QStringLiteral("hms").contains(inside[0]))
                elapsed = true;
            i = end < 0 ? format.size() : end;
        } else {
            letters += c.toLower();
        }
    }
    static const QStringList plain{QStringLiteral("general"), QStringLiteral("@"), QStringLiteral("0.00e+00"),
                                   QStringLiteral("##0.0e+0")};
    DateShape shape;
    if (plain.contains(letters.trimmed()))
        return shape;
    int dateCount = 0, numCount = 0;
    for (QChar c : letters) {
        if (QStringLiteral("ymdhs").contains(c))
            ++dateCount;
        else if (QStringLiteral("0#?").contains(c))
            ++numCount;
    }
    shape.isDate = dateCount > numCount || (elapsed && numCount == 0);
    if (!shape.isDate)
        return shape;
    shape.withTime = elapsed || letters.contains(u'h') || letters.contains(u's');
    shape.withDate =
        letters.contains(u'y') || letters.contains(u'd') || (letters.contains(u'm') && !shape.withTime);
    if (!shape.withDate && !shape.withTime)
        shape.withDate = true;
    return shape;
}

// The shapes of the built-in formats, for a file that writes no FORMAT records.
DateShape builtinDateShape(int index)
{
    if (index >= 14 && index <= 17)
        return {true, true, false};
    if ((index >= 18 && index <= 21) || (index >= 45 && index <= 47))
        return {true, false, true};
    if (index == 22)
        return {true, true, true};
    return {};
}

// A cell as read, before the code page and the formats (which may come in any
// order) are applied.
struct RawCell
{
    int row = 0;
    int col = 0;
    ExcelCellKind kind = ExcelCellKind::Number;
    double value = 0;
    QByteArray bytes;    // label bytes
    int xf = -1;         // XF index, -1 when none
    int attrFormat = -1; // Excel 2.x cells without XF records: the format index of the cell itself
};

class BookReader
{
public:
    bool read(const QByteArray& data, const QString& sheetName, ExcelBook& book);
    QString error() const { return m_error; }

private:
    bool fail(const QString& message)
    {
        m_error = message;
        return false;
    }
    bool record(quint16 id, const char* p, int len);
    bool cellHead(const char* p, int len, int need, bool biff2Attr, RawCell& cell);
    void put(RawCell cell);
    void finish(const QString& sheetName, ExcelBook& book);
    DateShape shapeOf(const RawCell& cell) const;

    int m_version = 0;
    int m_codePage = 0;
    bool m_date1904 = false;
    std::vector<QByteArray> m_formats;
    std::vector<int> m_xfFormats;
    int m_ixfe = -1;
    std::optional<RawCell> m_pendingString; // formula waiting for its STRING record
    std::vector<RawCell> m_cells;
    QString m_error;
};

bool BookReader::read(const QByteArray& data, const QString& sheetName, ExcelBook& book)
{
    const char* base = data.constData();
    const qsizetype size = data.size();
    qsizetype pos = 0;
    bool first = true;
    while (pos + 4 <= size) {
        const quint16 id = u16(base + pos);
        const int len = u16(base + pos + 2);
        if (pos + 4 + len > size)
            return fail(QStringLiteral("record 0x%1 at offset %2 runs past the end of the file")
                            .arg(id, 4, 16, QLatin1Char('0'))
                            .arg(pos));
        const char* body = base + pos + 4;
        if (first) {
            if (ExcelFileCodeOf(data.left(pos + 4 + len)) != ExcelReadable)
                return fail(QStringLiteral("not an Excel 2.x or 3.0 worksheet"));
            m_version = id == RecBof2 ? 2 : 3;
            first = false;
        } else if (id == RecEof) {
            finish(sheetName, book);
            return true;
        } else if (id == RecBof2 || id == RecBof3 || id == RecBof4 || id == RecBof5) {
            return fail(QStringLiteral("unexpected sheet start at offset %1").arg(pos));
        } else if (!record(id, body, len)) {
            m_error +=
                QStringLiteral(" (record 0x%1 at offset %2)").arg(id, 4, 16, QLatin1Char('0')).arg(pos);
            return false;
        }
        pos += 4 + len;
    }
    return fail(first ? QStringLiteral("not an Excel 2.x or 3.0 worksheet")
                      : QStringLiteral("the file ends before the end of the worksheet"));
}

// Row, column and format of a cell record: Excel 2.x cells carry three attribute
// bytes (XF index in the first, format index in the second), Excel 3.0 cells an XF
// index of two bytes.
bool BookReader::cellHead(const char* p, int len, int need, bool biff2Attr, RawCell& cell)
{
    if (len < need)
        return fail(QStringLiteral("cell record too short"));
    cell.row = u16(p);
    cell.col = u16(p + 2);
    if (cell.row >= kMaxRows || cell.col >= kMaxCols)
        return fail(QStringLiteral("cell outside the worksheet"));
    if (biff2Attr) {
        cell.xf = quint8(p[4]) & 0x3F;
        if (cell.xf == kXfFromIxfe)
            cell.xf = m_ixfe;
        cell.attrFormat = quint8(p[5]) & 0x3F;
    } else {
        cell.xf = u16(p + 4);
    }
    return true;
}

bool BookReader::record(quint16 id, const char* p, int len)
{
    RawCell cell;
    switch (id) {
    case RecCodePage:
        if (len >= 2)
            m_codePage = u16(p);
        return true;
    case RecDateMode:
        if (len >= 2)
            m_date1904 = u16(p) == 1;
        return true;
    case RecFormat:
        if (len < 1 || 1 + quint8(p[0]) > len)
            return fail(QStringLiteral("format record too short"));
        m_formats.emplace_back(p + 1, quint8(p[0]));
        return true;
    case RecXf2:
        if (len < 3)
            return fail(QStringLiteral("XF record too short"));
        m_xfFormats.push_back(quint8(p[2]) & 0x3F);
        return true;
    case RecXf3:
        if (len < 2)
            return fail(QStringLiteral("XF record too short"));
        m_xfFormats.push_back(quint8(p[1]));
        return true;
    case RecIxfe:
        if (len < 2)
            return fail(QStringLiteral("IXFE record too short"));
        m_ixfe = u16(p);
        return true;
    case RecInteger2:
        if (!cellHead(p, len, 9, true, cell))
            return false;
        cell.value = u16(p + 7);
        break;
    case RecNumber2:
    case RecNumber3: {
        const int at = id == RecNumber2 ? 7 : 6;
        if (!cellHead(p, len, at + 8, id == RecNumber2, cell))
            return false;
        cell.value = f64(p + at);
        break;
    }
    case RecRk:
        if (!cellHead(p, len, 10, false, cell))
            return false;
        cell.value = rkValue(u32(p + 6));
        break;
    case RecLabel2:
    case RecLabel3: {
        const bool v2 = id == RecLabel2;
        const int at = v2 ? 7 : 6;
        if (!cellHead(p, len, at + (v2 ? 1 : 2), v2, cell))
            return false;
        const int chars = v2 ? quint8(p[at]) : u16(p + at);
        const int start = at + (v2 ? 1 : 2);
        if (start + chars > len)
            return fail(QStringLiteral("label longer than its record"));
        cell.kind = ExcelCellKind::Text;
        cell.bytes = QByteArray(p + start, chars);
        break;
    }
    case RecBoolErr2:
    case RecBoolErr3: {
        const int at = id == RecBoolErr2 ? 7 : 6;
        if (!cellHead(p, len, at + 2, id == RecBoolErr2, cell))
            return false;
        cell.kind = p[at + 1] ? ExcelCellKind::Error : ExcelCellKind::Boolean;
        cell.value = quint8(p[at]);
        break;
    }
    case RecFormula2:
    case RecFormula3: {
        const int at = id == RecFormula2 ? 7 : 6;
        if (!cellHead(p, len, at + 8, id == RecFormula2, cell))
            return false;
        const char* result = p + at;
        if (u16(result + 6) != 0xFFFF) {
            cell.value = f64(result);
            break;
        }
        switch (quint8(result[0])) {
        case 0: // the text follows in a STRING record
            cell.kind = ExcelCellKind::Text;
            put(cell);
            m_pendingString = cell;
            return true;
        case 1:
            cell.kind = ExcelCellKind::Boolean;
            cell.value = quint8(result[2]);
            break;
        case 2:
            cell.kind = ExcelCellKind::Error;
            cell.value = quint8(result[2]);
            break;
        default: // an empty text
            cell.kind = ExcelCellKind::Text;
            break;
        }
        break;
    }
    case RecString2:
    case RecString3: {
        const int lenBytes = id == RecString2 ? 1 : 2;
        if (len < lenBytes)
            return fail(QStringLiteral("string record too short"));
        const int chars = lenBytes == 1 ? quint8(p[0]) : u16(p);
        if (lenBytes + chars > len)
            return fail(QStringLiteral("string longer than its record"));
        if (m_pendingString) {
            m_pendingString->bytes = QByteArray(p + lenBytes, chars);
            m_cells.back() = *m_pendingString;
            m_pendingString.reset();
        }
        return true;
    }
    default:
        return true; // formatting, layout and everything else the grid does not take
    }
    put(cell);
    return true;
}

void BookReader::put(RawCell cell)
{
    m_pendingString.reset();
    m_cells.push_back(std::move(cell));
}

DateShape BookReader::shapeOf(const RawCell& cell) const
{
    int format = -1;
    if (!m_xfFormats.empty()) {
        if (cell.xf >= 0 && size_t(cell.xf) < m_xfFormats.size())
            format = m_xfFormats[size_t(cell.xf)];
    } else {
        format = cell.attrFormat;
    }
    if (format < 0)
        return {};
    if (m_formats.empty())
        return builtinDateShape(format);
    if (size_t(format) >= m_formats.size())
        return {};
    return dateShape(DecodeExcelText(m_formats[size_t(format)], m_codePage));
}

void BookReader::finish(const QString& sheetName, ExcelBook& book)
{
    // One cell per position, the last written winning.
    std::stable_sort(m_cells.begin(), m_cells.end(), [](const RawCell& a, const RawCell& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    ExcelSheet sheet;
    sheet.name = sheetName;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (i + 1 < m_cells.size() && m_cells[i + 1].row == m_cells[i].row &&
            m_cells[i + 1].col == m_cells[i].col)
            continue;
        const RawCell& raw = m_cells[i];
        ExcelCell cell;
        cell.row = raw.row;
        cell.col = raw.col;
        cell.kind = raw.kind;
        cell.value = raw.value;
        switch (raw.kind) {
        case ExcelCellKind::Text:
            cell.text = DecodeExcelText(raw.bytes, m_codePage);
            break;
        case ExcelCellKind::Boolean:
            cell.text = raw.value != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            break;
        case ExcelCellKind::Error:
            cell.text = errorText(int(raw.value));
            break;
        default:
            if (!std::isfinite(raw.value)) {
                cell.kind = ExcelCellKind::Error;
                cell.value = 0x24;
                cell.text = errorText(0x24);
                break;
            }
            if (const DateShape shape = shapeOf(raw); shape.isDate) {
                cell.text = ExcelDateText(raw.value, m_date1904, shape.withDate, shape.withTime);
                if (!cell.text.isEmpty()) {
                    cell.kind = ExcelCellKind::Date;
                    break;
                }
            }
            cell.text = ExcelNumberText(raw.value);
            break;
        }
        sheet.rows = std::max(sheet.rows, cell.row + 1);
        sheet.cols = std::max(sheet.cols, cell.col + 1);
        sheet.cells.push_back(std::move(cell));
    }
    book.biffVersion = m_version;
    book.codePage = m_codePage;
    book.date1904 = m_date1904;
    book.sheets.clear();
    book.sheets.push_back(std::move(sheet));
}

void appendLog(const QString& logFileName, bool replace, const QStringList& lines)
{
    if (logFileName.isEmpty())
        return;
    QFile log(logFileName);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text |
                  (replace ? QIODevice::Truncate : QIODevice::Append)))
        return; // the log only explains; a failing log changes nothing
    log.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

} // namespace

int16_t ExcelFileCodeOf(const QByteArray& head)
{
    if (head.size() < 4)
        return ExcelNotReadable;
    const quint16 id = u16(head.constData());
    const int len = u16(head.constData() + 2);
    const int need = id == RecBof2 ? 4 : (id == RecBof3 ? 6 : -1);
    if (need < 0 || len < need || head.size() < 4 + need)
        return ExcelNotReadable;
    return u16(head.constData() + 6) == kWorksheet ? ExcelReadable : ExcelNotReadable;
}

int16_t IsExcelFile(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
        return ExcelCannotOpen;
    return ExcelFileCodeOf(file.read(10));
}

bool ReadExcelBook(const QByteArray& data, const QString& sheetName, ExcelBook& book, QString& error)
{
    book = ExcelBook();
    BookReader reader;
    if (reader.read(data, sheetName, book)) {
        error.clear();
        return true;
    }
    book = ExcelBook();
    error = reader.error();
    return false;
}

QString ExcelNumberText(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return QStringLiteral("0");
    const QString g = QString::number(value, 'g', 14);
    const qsizetype e = g.indexOf(u'e');
    if (e < 0)
        return g;
    // Write the exponent form out: d.ddde+N / d.ddde-N.
    const int exponent = g.mid(e + 1).toInt();
    QString digits = g.left(e);
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits.remove(0, 1);
    digits.remove(u'.');
    const int point = 1 + exponent;
    if (point >= digits.size())
        digits += QString(point - digits.size(), u'0');
    else if (point <= 0)
        digits = QStringLiteral("0.") + QString(-point, u'0') + digits;
    else
        digits.insert(point, u'.');
    return negative ? QLatin1Char('-') + digits : digits;
}

QString ExcelDateText(double serial, bool date1904, bool withDate, bool withTime)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const QString time = QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("hh:mm:ss"));
    if (days == 0 || !withDate)
        return time;
    QString date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    else if (days == 60) // the day Excel counts in 1900, which had no 29 February
        date = QStringLiteral("1900-02-29");
    else
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    return withTime ? date + QLatin1Char(' ') + time : date;
}

QString DecodeExcelText(const QByteArray& bytes, int codePage)
{
    if (codePage == 0 || codePage == 949)
        return cp949::decode(bytes);
    QByteArray name;
    switch (codePage) {
    case 10000:
    case 32768:
        name = "macintosh";
        break;
    case 367:
    case 32769:
        name = "windows-1252";
        break;
    default:
        name = "cp" + QByteArray::number(codePage);
        break;
    }
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return cp949::decode(bytes);
    return decoder.decode(bytes);
}

bool ExcelWorkbooks::GetExcelSheetList(const QString& fileName, QStringList& names, int16_t& count,
                                       const QString& logFileName, int16_t& handle, bool replace)
{
    QStringList log{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                    QLatin1Char(' ') + fileName};
    QString error;
    ExcelBook book;
    QFile file(fileName);
    if (m_books.size() >= size_t(INT16_MAX))
        error = QStringLiteral("too many workbooks open");
    else if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
        error = QStringLiteral("cannot open the file: ") + file.errorString();
    else
        ReadExcelBook(file.readAll(), QFileInfo(fileName).completeBaseName(), book, error);
    if (!error.isEmpty()) {
        log << QStringLiteral("failed: ") + error;
        appendLog(logFileName, replace, log);
        return false;
    }

    names.clear();
    for (const ExcelSheet& sheet : book.sheets) {
        names << sheet.name;
        log << QStringLiteral("BIFF%1 worksheet, code page %2: %3 (%4 rows, %5 columns, %6 cells)")
                   .arg(book.biffVersion)
                   .arg(book.codePage)
                   .arg(sheet.name)
                   .arg(sheet.rows)
                   .arg(sheet.cols)
                   .arg(sheet.cells.size());
    }
    count = int16_t(names.size());
    handle = int16_t(m_books.size());
    m_books.push_back(std::move(book));
    appendLog(logFileName, replace, log);
    return true;
}

const ExcelSheet* ExcelWorkbooks::Sheet(int16_t handle, int index) const
{
    if (handle < 0 || size_t(handle) >= m_books.size())
        return nullptr;
    const std::vector<ExcelSheet>& sheets = m_books[size_t(handle)].sheets;
    return index >= 0 && size_t(index) < sheets.size() ? &sheets[size_t(index)] : nullptr;
}

bool ExcelWorkbooks::ImportExcelSheet(SpreadGrid& grid, int16_t handle, int index) const
{
    const ExcelSheet* sheet = Sheet(handle, index);
    if (!sheet)
        return false;
    ::ImportExcelSheet(grid, *sheet);
    return true;
}

void ImportExcelSheet(SpreadGrid& grid, const ExcelSheet& sheet)
{
    const bool redraw = grid.ReDraw();
    grid.SetReDraw(false);
    grid.SetMaxRows(0);
    grid.SetMaxCols(sheet.cols);
    grid.SetMaxRows(sheet.rows);
    grid.SetCellType(-1, -1, CellTypeEdit);
    grid.SetTypeNumberMax(-1, -1, DBL_MAX);
    grid.SetTypeNumberMin(-1, -1, -DBL_MAX);
    grid.SetTypeNumberShowSep(-1, -1, false);
    for (const ExcelCell& cell : sheet.cells) {
        const int col = cell.col + 1, row = cell.row + 1;
        if (cell.kind == ExcelCellKind::Number) {
            const qsizetype point = cell.text.indexOf(u'.');
            grid.SetCellType(col, row, CellTypeNumber);
            grid.SetTypeNumberDecPlaces(col, row, point < 0 ? 0 : int(cell.text.size() - point - 1));
        }
        grid.SetText(col, row, cell.text);
    }
    grid.SetReDraw(redraw);
}
