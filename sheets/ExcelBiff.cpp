#include "sheets/ExcelBiff.h"

#include "common/Cp949.h"
#include "sheets/BiffStrings.h"
#include "sheets/CellTexts.h"
#include "sheets/CompoundFile.h"
#include "sheets/NumberFormat.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <optional>
#include <utility>

namespace {

// Record ids. Excel 3.0 renumbered most cell records (0x02xx) and widened their
// format field to an XF index of two bytes; either form is read in either of those
// versions. Excel 4.0 and later use the 0x02xx forms and records of their own.
enum : quint16
{
    RecBof2 = 0x0009,
    RecBof3 = 0x0209,
    RecBof4 = 0x0409,
    RecBof5 = 0x0809,
    RecEof = 0x000A,
    RecDimensions2 = 0x0000,
    RecInteger2 = 0x0002,
    RecNumber2 = 0x0003,
    RecLabel2 = 0x0004,
    RecBoolErr2 = 0x0005,
    RecFormula2 = 0x0006, // also the formula record of Excel 5 and later
    RecString2 = 0x0007,
    RecFormat = 0x001E,
    RecDateMode = 0x0022,
    RecContinue = 0x003C,
    RecCodePage = 0x0042,
    RecXf2 = 0x0043,
    RecIxfe = 0x0044,
    RecBoundSheet = 0x0085,
    RecSheetHdr = 0x008F,
    RecMulRk = 0x00BD,
    RecRString = 0x00D6,
    RecXf5 = 0x00E0,
    RecSst = 0x00FC,
    RecLabelSst = 0x00FD,
    RecNumber3 = 0x0203,
    RecLabel3 = 0x0204,
    RecDimensions = 0x0200,
    RecBoolErr3 = 0x0205,
    RecFormula3 = 0x0206,
    RecString3 = 0x0207,
    RecXf3 = 0x0243,
    RecRk = 0x027E,
    RecFormula4 = 0x0406,
    RecFormat4 = 0x041E,
    RecXf4 = 0x0443
};

// Sheet types of a BOF record.
constexpr quint16 kWorksheet = 0x0010;
constexpr quint16 kGlobals = 0x0005;
constexpr quint16 kWorkbook4 = 0x0100;
constexpr int kMaxCols = 256;
constexpr int kMinCellBytes = 14; // a record of a number or a shared string
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

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// Text as stored: bytes in the file's code page (read once the code page is known), or
// the characters themselves (Excel 97 and later).
struct StoredText
{
    QByteArray bytes;
    std::optional<QString> unicode;
};

// Where the text of a cell as read comes from, kept beside it until the code page and
// the formats (which may come in any order) are known.
struct CellSource
{
    int xf = -1;           // XF index, -1 when none
    int text = -1;         // labels: index into the sheet's texts, or into the shared strings
    qint8 attrFormat = -1; // Excel 2.x cells without XF records: the format index of the cell itself
    bool shared = false;
};

// A cell as read from its record.
struct RawCell
{
    int row = 0;
    int col = 0;
    ExcelCellKind kind = ExcelCellKind::Number;
    double value = 0;
    CellSource source;
};

class BookReader
{
public:
    // `newer`: Excel 4.0 and later files too, not only Excel 2.x and 3.0 worksheets.
    explicit BookReader(bool newer) : m_newer(newer) {}

    bool read(const QByteArray& data, const QString& sheetName, ExcelBook& book);
    QString error() const { return m_error; }

private:
    bool fail(const QString& message)
    {
        m_error = message;
        return false;
    }
    bool notReadable()
    {
        return fail(m_newer ? QStringLiteral("not an Excel worksheet or workbook")
                            : QStringLiteral("not an Excel 2.x or 3.0 worksheet"));
    }
    // The record at pos; false (with the error) when it runs past the end.
    bool recordAt(qsizetype pos, quint16& id, int& len);
    bool startBook(quint16 id, const char* body, int len, quint16& type);
    bool sheetStream(qsizetype& pos, const QString& name);
    bool workbook4(qsizetype pos);
    bool workbook5(qsizetype pos);
    bool sharedStrings(qsizetype& pos, int len);
    bool record(quint16 id, const char* p, int len);
    bool cellHead(const char* p, int len, int need, bool biff2Attr, RawCell& cell);
    bool formula(const char* p, int len, int at, bool biff2Attr);
    bool label(const char* p, int len, bool biff2);
    void put(const RawCell& cell);
    // The text (and for a number whether it is a date) of a cell, from where it comes from.
    void settle(ExcelCell& cell, const CellSource& source);
    void finishSheet(const QString& name);
    DateShape shapeOf(const CellSource& cell) const;
    QString decode(const StoredText& text) const
    {
        return text.unicode ? *text.unicode : DecodeExcelText(text.bytes, m_codePage);
    }
    // A label of the sheet: its index for CellSource::text.
    int addText(StoredText text)
    {
        m_texts.push_back(std::move(text));
        return int(m_texts.size() - 1);
    }
    QString cellText(const CellSource& cell) const
    {
        if (cell.text < 0)
            return {};
        return cell.shared ? m_strings[size_t(cell.text)] : decode(m_texts[size_t(cell.text)]);
    }
    bool old() const { return m_version <= 3; }

    const bool m_newer;
    QByteArray m_data;
    int m_version = 0;
    int m_codePage = 0;
    bool m_date1904 = false;
    std::map<int, StoredText> m_formats; // by index: their order up to Excel 4.0, their number after
    std::vector<int> m_xfFormats;
    mutable std::map<int, DateShape> m_shapes; // of the formats, once worked out
    std::vector<QString> m_strings;            // shared strings
    int m_ixfe = -1;
    bool m_pendingString = false; // the last cell is a formula waiting for its STRING record
    // The globals of an Excel 5 or later workbook are read: the formats and the code page
    // are known for good, and cells get their texts as they are read.
    bool m_settled = false;
    // The sheet being read: its cells, and until they are settled where their texts come
    // from and its labels.
    std::vector<ExcelCell> m_cells;
    std::vector<CellSource> m_sources;
    std::vector<StoredText> m_texts;
    CellTexts m_numberTexts;
    std::vector<ExcelSheet> m_sheets;
    QString m_error;
};

bool BookReader::recordAt(qsizetype pos, quint16& id, int& len)
{
    id = u16(m_data.constData() + pos);
    len = u16(m_data.constData() + pos + 2);
    if (pos + 4 + len > m_data.size())
        return fail(
            QStringLiteral("record 0x%1 at offset %2 runs past the end of the file").arg(hex4(id)).arg(pos));
    return true;
}

// The version and sheet type of the first BOF record.
bool BookReader::startBook(quint16 id, const char* body, int len, quint16& type)
{
    if (!m_newer) {
        if (ExcelFileCodeOf(QByteArray(body - 4, 4 + len)) != ExcelReadable)
            return notReadable();
        m_version = id == RecBof2 ? 2 : 3;
        type = kWorksheet;
        return true;
    }
    if (len < 4)
        return notReadable();
    type = u16(body + 2);
    switch (id) {
    case RecBof2:
        m_version = 2;
        break;
    case RecBof3:
        m_version = 3;
        break;
    case RecBof4:
        m_version = 4;
        break;
    case RecBof5:
        m_version = u16(body) == 0x0600 ? 8 : 5;
        break;
    default:
        return notReadable();
    }
    const bool known =
        type == kWorksheet || (m_version == 4 && type == kWorkbook4) || (m_version >= 5 && type == kGlobals);
    return known || notReadable();
}

bool BookReader::read(const QByteArray& data, const QString& sheetName, ExcelBook& book)
{
    m_data = data;
    quint16 id, type = 0;
    int len;
    if (data.size() < 4)
        return notReadable();
    if (!recordAt(0, id, len) || !startBook(id, data.constData() + 4, len, type))
        return false;
    qsizetype pos = 0;
    bool ok;
    if (type == kWorkbook4)
        ok = workbook4(4 + len);
    else if (type == kGlobals)
        ok = workbook5(4 + len);
    else
        ok = sheetStream(pos, sheetName);
    if (!ok)
        return false;
    book.biffVersion = m_version;
    book.codePage = m_codePage;
    book.date1904 = m_date1904;
    book.sheets = std::move(m_sheets);
    return true;
}

// One sheet from its BOF record at pos to its EOF record; pos then stands after it.
bool BookReader::sheetStream(qsizetype& pos, const QString& name)
{
    quint16 id;
    int len;
    if (!recordAt(pos, id, len))
        return false;
    pos += 4 + len;
    int nested = 0; // charts inside a sheet of Excel 5 and later
    while (pos + 4 <= m_data.size()) {
        if (!recordAt(pos, id, len))
            return false;
        const char* body = m_data.constData() + pos + 4;
        if (id == RecEof && nested == 0) {
            finishSheet(name);
            pos += 4 + len;
            return true;
        }
        if (id == RecEof) {
            --nested;
        } else if (id == RecBof2 || id == RecBof3 || id == RecBof4 || id == RecBof5) {
            if (m_version < 5)
                return fail(QStringLiteral("unexpected sheet start at offset %1").arg(pos));
            ++nested;
        } else if (nested == 0 && !record(id, body, len)) {
            m_error += QStringLiteral(" (record 0x%1 at offset %2)").arg(hex4(id)).arg(pos);
            return false;
        }
        pos += 4 + len;
    }
    return fail(QStringLiteral("the file ends before the end of the worksheet"));
}

// An Excel 4.0 workbook: each sheet follows its SHEETHDR record, with formats of its own.
bool BookReader::workbook4(qsizetype pos)
{
    quint16 id;
    int len;
    while (pos + 4 <= m_data.size()) {
        if (!recordAt(pos, id, len))
            return false;
        const char* body = m_data.constData() + pos + 4;
        pos += 4 + len;
        if (id == RecEof)
            return true;
        if (id == RecSheetHdr) {
            if (len < 5 || 5 + quint8(body[4]) > len)
                return fail(QStringLiteral("sheet header too short at offset %1").arg(pos - 4 - len));
            const QString name = DecodeExcelText(QByteArray(body + 5, quint8(body[4])), m_codePage);
            m_formats.clear();
            m_xfFormats.clear();
            m_shapes.clear();
            if (!sheetStream(pos, name))
                return false;
        } else if (id == RecCodePage || id == RecDateMode) {
            record(id, body, len);
        }
    }
    return fail(QStringLiteral("the file ends before the end of the workbook"));
}

// The workbook stream of Excel 5 and later: the globals (sheet list, shared strings,
// formats), then each sheet at the offset the sheet list gives.
bool BookReader::workbook5(qsizetype pos)
{
    struct Bound
    {
        quint32 offset;
        StoredText name;
    };
    std::vector<Bound> bounds;
    quint16 id;
    int len;
    for (;;) {
        if (pos + 4 > m_data.size())
            return fail(QStringLiteral("the file ends before the end of the workbook"));
        if (!recordAt(pos, id, len))
            return false;
        const char* body = m_data.constData() + pos + 4;
        if (id == RecEof)
            break;
        if (id == RecSst) {
            if (!sharedStrings(pos, len))
                return false;
            continue;
        }
        if (id == RecBoundSheet) {
            if (len < 7)
                return fail(QStringLiteral("sheet list record too short at offset %1").arg(pos));
            Bound b{u32(body), {}};
            if (m_version == 8) {
                const auto name = BiffUnicodeString(body + 6, len - 6, 1);
                if (!name)
                    return fail(QStringLiteral("sheet name longer than its record at offset %1").arg(pos));
                b.name.unicode = *name;
            } else if (7 + quint8(body[6]) <= len) {
                b.name.bytes = QByteArray(body + 7, quint8(body[6]));
            }
            if (quint8(body[5]) == 0) // worksheets; charts and macro sheets hold no cells to take
                bounds.push_back(std::move(b));
        } else if (!record(id, body, len)) {
            m_error += QStringLiteral(" (record 0x%1 at offset %2)").arg(hex4(id)).arg(pos);
            return false;
        }
        pos += 4 + len;
    }
    m_settled = true;
    for (const Bound& b : bounds) {
        qsizetype at = b.offset;
        if (at + 8 > m_data.size() || u16(m_data.constData() + at) != RecBof5 ||
            u16(m_data.constData() + at + 6) != kWorksheet)
            return fail(QStringLiteral("no worksheet at offset %1").arg(at));
        if (!sheetStream(at, decode(b.name)))
            return false;
    }
    return true;
}

// The shared strings of Excel 97 and later, over the SST record at pos and the CONTINUE
// records after it; pos then stands after them.
bool BookReader::sharedStrings(qsizetype& pos, int len)
{
    BiffContinued bytes;
    bytes.add(m_data.constData() + pos + 4, len);
    qsizetype size = len;
    pos += 4 + len;
    quint16 id;
    while (pos + 4 <= m_data.size() && u16(m_data.constData() + pos) == RecContinue) {
        if (!recordAt(pos, id, len))
            return false;
        bytes.add(m_data.constData() + pos + 4, len);
        size += len;
        pos += 4 + len;
    }
    quint32 total, unique;
    if (!bytes.u32(total) || !bytes.u32(unique))
        return fail(QStringLiteral("shared strings too short"));
    m_strings.clear();
    m_strings.reserve(std::min<size_t>(unique, size_t(size / 3))); // a string takes 3 bytes at least
    for (quint32 i = 0; i < unique; ++i) {
        QString text;
        if (!bytes.string(text))
            return fail(QStringLiteral("shared strings cut short after %1 strings").arg(i));
        m_strings.push_back(std::move(text));
    }
    return true;
}

// Row, column and format of a cell record: Excel 2.x cells carry three attribute
// bytes (XF index in the first, format index in the second), later cells an XF
// index of two bytes.
bool BookReader::cellHead(const char* p, int len, int need, bool biff2Attr, RawCell& cell)
{
    if (len < need)
        return fail(QStringLiteral("cell record too short"));
    cell.row = u16(p);
    cell.col = u16(p + 2);
    const int maxRows = m_version == 8 ? 65536 : 16384;
    if (cell.row >= maxRows || cell.col >= kMaxCols)
        return fail(QStringLiteral("cell outside the worksheet"));
    if (biff2Attr) {
        cell.source.xf = quint8(p[4]) & 0x3F;
        if (cell.source.xf == kXfFromIxfe)
            cell.source.xf = m_ixfe;
        cell.source.attrFormat = qint8(quint8(p[5]) & 0x3F);
    } else {
        cell.source.xf = u16(p + 4);
    }
    return true;
}

// A formula's last result: a number, or (when its last two bytes are 0xFFFF) a text
// that follows in a STRING record, a Boolean, an error or an empty text.
bool BookReader::formula(const char* p, int len, int at, bool biff2Attr)
{
    RawCell cell;
    if (!cellHead(p, len, at + 8, biff2Attr, cell))
        return false;
    const char* result = p + at;
    if (u16(result + 6) != 0xFFFF) {
        cell.value = f64(result);
        put(cell);
        return true;
    }
    switch (quint8(result[0])) {
    case 0:
        cell.kind = ExcelCellKind::Text;
        put(cell);
        m_pendingString = true;
        return true;
    case 1:
        cell.kind = ExcelCellKind::Boolean;
        cell.value = quint8(result[2]);
        break;
    case 2:
        cell.kind = ExcelCellKind::Error;
        cell.value = quint8(result[2]);
        break;
    default:
        cell.kind = ExcelCellKind::Text;
        break;
    }
    put(cell);
    return true;
}

bool BookReader::label(const char* p, int len, bool biff2)
{
    RawCell cell;
    const int at = biff2 ? 7 : 6;
    if (!cellHead(p, len, at + (biff2 ? 1 : 2), biff2, cell))
        return false;
    cell.kind = ExcelCellKind::Text;
    StoredText text;
    if (m_version == 8) {
        text.unicode = BiffUnicodeString(p + at, len - at, 2);
        if (!text.unicode)
            return fail(QStringLiteral("label longer than its record"));
    } else {
        const int chars = biff2 ? quint8(p[at]) : u16(p + at);
        const int start = at + (biff2 ? 1 : 2);
        if (start + chars > len)
            return fail(QStringLiteral("label longer than its record"));
        text.bytes = QByteArray(p + start, chars);
    }
    cell.source.text = addText(std::move(text));
    put(cell);
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
        if (!old())
            return true;
        if (len < 1 || 1 + quint8(p[0]) > len)
            return fail(QStringLiteral("format record too short"));
        m_formats[int(m_formats.size())].bytes = QByteArray(p + 1, quint8(p[0]));
        return true;
    case RecFormat4: {
        if (old())
            return true;
        const int head = 2; // Excel 4.0: two unused bytes; later: the format's number
        if (len < head + 1)
            return fail(QStringLiteral("format record too short"));
        StoredText& text = m_formats[m_version == 4 ? int(m_formats.size()) : u16(p)];
        if (m_version == 8) {
            text.unicode = BiffUnicodeString(p + head, len - head, 2);
            if (!text.unicode)
                return fail(QStringLiteral("format record too short"));
        } else {
            if (head + 1 + quint8(p[head]) > len)
                return fail(QStringLiteral("format record too short"));
            text.bytes = QByteArray(p + head + 1, quint8(p[head]));
        }
        return true;
    }
    case RecXf2:
        if (!old())
            return true;
        if (len < 3)
            return fail(QStringLiteral("XF record too short"));
        m_xfFormats.push_back(quint8(p[2]) & 0x3F);
        return true;
    case RecXf3:
    case RecXf4:
        if ((id == RecXf3) != old())
            return true;
        if (len < 2)
            return fail(QStringLiteral("XF record too short"));
        m_xfFormats.push_back(quint8(p[1]));
        return true;
    case RecXf5:
        if (m_version < 5)
            return true;
        if (len < 4)
            return fail(QStringLiteral("XF record too short"));
        m_xfFormats.push_back(u16(p + 2));
        return true;
    case RecDimensions2:
    case RecDimensions: {
        // The used range (rows of four bytes in Excel 97 and later): room for its cells, as
        // many as the rest of the file can hold.
        const int rowBytes = m_version == 8 ? 4 : 2;
        if ((id == RecDimensions2) != (m_version == 2) || len < 2 * rowBytes + 4)
            return true;
        const qint64 rows = rowBytes == 4 ? qint64(u32(p + 4)) - u32(p) : qint64(u16(p + 2)) - u16(p);
        const qint64 cols = qint64(u16(p + 2 * rowBytes + 2)) - u16(p + 2 * rowBytes);
        const qint64 room = std::min(std::max<qint64>(rows, 0) * std::max<qint64>(cols, 0),
                                     qint64((m_data.constData() + m_data.size() - p) / kMinCellBytes));
        m_cells.reserve(size_t(room));
        if (!m_settled)
            m_sources.reserve(size_t(room));
        return true;
    }
    case RecIxfe:
        if (!old())
            return true;
        if (len < 2)
            return fail(QStringLiteral("IXFE record too short"));
        m_ixfe = u16(p);
        return true;
    case RecInteger2:
        if (!old())
            return true;
        if (!cellHead(p, len, 9, true, cell))
            return false;
        cell.value = u16(p + 7);
        break;
    case RecNumber2:
    case RecNumber3: {
        if (id == RecNumber2 && !old())
            return true;
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
    case RecMulRk: {
        if (m_version < 5)
            return true;
        if (len < 6 || (len - 6) % 6 != 0)
            return fail(QStringLiteral("cell record too short"));
        // Row, first column, then XF index and RK value of each cell, then the last column.
        char one[10];
        std::memcpy(one, p, 2);
        for (int i = 0; i < (len - 6) / 6; ++i) {
            const int col = u16(p + 2) + i;
            one[2] = char(col & 0xFF);
            one[3] = char((col >> 8) & 0xFF);
            std::memcpy(one + 4, p + 4 + 6 * i, 6);
            if (!cellHead(one, 10, 10, false, cell))
                return false;
            cell.value = rkValue(u32(one + 6));
            put(cell);
        }
        return true;
    }
    case RecLabel2:
        return !old() || label(p, len, true);
    case RecLabel3:
        return label(p, len, false);
    case RecRString:
        return m_version < 5 || label(p, len, false);
    case RecLabelSst:
        if (m_version < 8)
            return true;
        if (!cellHead(p, len, 10, false, cell))
            return false;
        if (u32(p + 6) >= m_strings.size())
            return fail(QStringLiteral("shared string %1 does not exist").arg(u32(p + 6)));
        cell.kind = ExcelCellKind::Text;
        cell.source.text = int(u32(p + 6));
        cell.source.shared = true;
        break;
    case RecBoolErr2:
    case RecBoolErr3: {
        if (id == RecBoolErr2 && !old())
            return true;
        const int at = id == RecBoolErr2 ? 7 : 6;
        if (!cellHead(p, len, at + 2, id == RecBoolErr2, cell))
            return false;
        cell.kind = p[at + 1] ? ExcelCellKind::Error : ExcelCellKind::Boolean;
        cell.value = quint8(p[at]);
        break;
    }
    case RecFormula2:
        return old() ? formula(p, len, 7, true) : (m_version < 5 || formula(p, len, 6, false));
    case RecFormula3:
        return !old() || formula(p, len, 6, false);
    case RecFormula4:
        return m_version != 4 || formula(p, len, 6, false);
    case RecString2:
    case RecString3: {
        if (id == RecString2 && !old())
            return true;
        StoredText text;
        if (m_version == 8) {
            text.unicode = BiffUnicodeString(p, len, 2);
            if (!text.unicode)
                return fail(QStringLiteral("string longer than its record"));
        } else {
            const int lenBytes = id == RecString2 ? 1 : 2;
            if (len < lenBytes)
                return fail(QStringLiteral("string record too short"));
            const int chars = lenBytes == 1 ? quint8(p[0]) : u16(p);
            if (lenBytes + chars > len)
                return fail(QStringLiteral("string longer than its record"));
            text.bytes = QByteArray(p + lenBytes, chars);
        }
        if (m_pendingString && m_settled)
            m_cells.back().text = decode(text);
        else if (m_pendingString)
            m_sources.back().text = addText(std::move(text));
        m_pendingString = false;
        return true;
    }
    default:
        return true; // formatting, layout and everything else the grid does not take
    }
    put(cell);
    return true;
}

void BookReader::put(const RawCell& cell)
{
    m_pendingString = false;
    ExcelCell& out = m_cells.emplace_back();
    out.row = cell.row;
    out.col = cell.col;
    out.kind = cell.kind;
    out.value = cell.value;
    if (m_settled)
        settle(out, cell.source);
    else
        m_sources.push_back(cell.source);
}

DateShape BookReader::shapeOf(const CellSource& cell) const
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
        return BuiltinDateShape(format);
    const auto known = m_shapes.find(format);
    if (known != m_shapes.end())
        return known->second;
    const auto it = m_formats.find(format);
    DateShape shape;
    if (it == m_formats.end()) // Excel 5 and later leave the built-in formats out
        shape = m_version >= 5 ? BuiltinDateShape(format) : DateShape{};
    else
        shape = FormatDateShape(decode(it->second));
    m_shapes[format] = shape;
    return shape;
}

void BookReader::settle(ExcelCell& cell, const CellSource& source)
{
    switch (cell.kind) {
    case ExcelCellKind::Text:
        cell.text = cellText(source);
        break;
    case ExcelCellKind::Boolean:
        cell.text = cell.value != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        break;
    case ExcelCellKind::Error:
        cell.text = errorText(int(cell.value));
        break;
    default:
        if (!std::isfinite(cell.value)) {
            cell.kind = ExcelCellKind::Error;
            cell.value = 0x24;
            cell.text = errorText(0x24);
            break;
        }
        bool isDate;
        cell.text = m_numberTexts.text(cell.value, shapeOf(source), m_date1904, isDate);
        if (isDate)
            cell.kind = ExcelCellKind::Date;
        break;
    }
}

void BookReader::finishSheet(const QString& name)
{
    // One cell per position, the last written winning.
    const auto before = [](const ExcelCell& a, const ExcelCell& b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    };
    if (!std::is_sorted(m_cells.begin(), m_cells.end(), before)) {
        std::vector<size_t> order(m_cells.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [this, &before](size_t a, size_t b) { return before(m_cells[a], m_cells[b]); });
        std::vector<ExcelCell> cells;
        std::vector<CellSource> sources;
        cells.reserve(order.size());
        sources.reserve(m_sources.size());
        for (size_t i : order) {
            cells.push_back(std::move(m_cells[i]));
            if (!m_settled)
                sources.push_back(m_sources[i]);
        }
        m_cells.swap(cells);
        m_sources.swap(sources);
    }
    ExcelSheet sheet;
    sheet.name = name;
    size_t kept = 0;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (i + 1 < m_cells.size() && m_cells[i + 1].row == m_cells[i].row &&
            m_cells[i + 1].col == m_cells[i].col)
            continue;
        ExcelCell& cell = m_cells[i];
        if (!m_settled)
            settle(cell, m_sources[i]);
        sheet.rows = std::max(sheet.rows, cell.row + 1);
        sheet.cols = std::max(sheet.cols, cell.col + 1);
        if (kept != i)
            m_cells[kept] = std::move(cell);
        ++kept;
    }
    m_cells.erase(m_cells.begin() + qsizetype(kept), m_cells.end());
    sheet.cells = std::exchange(m_cells, {});
    m_sheets.push_back(std::move(sheet));
    m_sources.clear();
    m_texts.clear();
    m_pendingString = false;
}

bool readBook(bool newer, const QByteArray& data, const QString& sheetName, ExcelBook& book, QString& error)
{
    book = ExcelBook();
    BookReader reader(newer);
    if (reader.read(data, sheetName, book)) {
        error.clear();
        return true;
    }
    book = ExcelBook();
    error = reader.error();
    return false;
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
    return readBook(false, data, sheetName, book, error);
}

bool ReadXlsBook(const QByteArray& data, const QString& sheetName, ExcelBook& book, QString& error)
{
    if (!IsCompoundFile(data))
        return readBook(true, data, sheetName, book, error);
    QByteArray stream;
    if (!ReadCompoundStream(data, {QStringLiteral("Workbook"), QStringLiteral("Book")}, stream, error)) {
        book = ExcelBook();
        return false;
    }
    return readBook(true, stream, sheetName, book, error);
}

QString ExcelNumberText(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        return QStringLiteral("0");
    if (std::fabs(value) < 1e14 && value == std::trunc(value))
        return QString::number(qint64(value));
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
    char text[20];
    const auto digits = [](char* at, int value, int count) {
        for (int i = count - 1; i >= 0; --i, value /= 10)
            at[i] = char('0' + value % 10);
    };
    const auto time = [&](char* at) {
        digits(at, int(seconds / 3600), 2);
        at[2] = ':';
        digits(at + 3, int(seconds / 60 % 60), 2);
        at[5] = ':';
        digits(at + 6, int(seconds % 60), 2);
    };
    if (days == 0 || !withDate) {
        time(text);
        return QString::fromLatin1(text, 8);
    }
    int y = 1900, m = 2, d = 29; // the day Excel counts in 1900, which had no 29 February
    if (date1904 || days != 60) {
        static const qint64 base1904 = QDate(1904, 1, 1).toJulianDay();
        static const qint64 base1900 = QDate(1899, 12, 30).toJulianDay();
        const qint64 jd = date1904 ? base1904 + days : base1900 + days + (days < 60 ? 1 : 0);
        QDate::fromJulianDay(jd).getDate(&y, &m, &d);
    }
    digits(text, y, 4);
    text[4] = '-';
    digits(text + 5, m, 2);
    text[7] = '-';
    digits(text + 8, d, 2);
    if (!withTime)
        return QString::fromLatin1(text, 10);
    text[10] = ' ';
    time(text + 11);
    return QString::fromLatin1(text, 19);
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
