// The SQL log's line encoding (db/SqlLog.h) on any bytes: any text decodes without harm,
// and a line of characters the encoding keeps apart decodes to itself.
//
// The input read as UTF-16 code units is the line to encode; read as Latin-1 it is an
// encoded line to decode.

#include "FuzzCheck.h"
#include "db/SqlLog.h"

#include <algorithm>

namespace {

// Characters written with one, two or four hex digits that no other character shares:
// a four-digit code ending in 00 reads as the two-digit code below 0x80, a two-digit
// code from 0x80 as the four-digit code, and three digits shift the groups after them.
bool keptApart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return true;
    if (u < 0x1000)
        return false;
    return (u & 0xFF) != 0 || (u >> 8) >= 0x80;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString decoded = HexDecodeLogLine(QString::fromLatin1(bytes));
    FUZZ_CHECK(decoded.size() == bytes.size() / 4);

    QString line;
    for (size_t i = 0; i + 1 < size; i += 2)
        line += QChar(char16_t(data[i] | data[i + 1] << 8));
    const QString encoded = HexEncodeLogLine(line);
    if (std::all_of(line.begin(), line.end(), keptApart)) {
        FUZZ_CHECK(encoded.size() == line.size() * 4);
        FUZZ_CHECK(HexDecodeLogLine(encoded) == line);
    }
    return 0;
}
