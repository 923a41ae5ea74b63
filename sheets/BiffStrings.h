#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

// The strings of Excel 97 and later files: a character count, an option byte (bit 0:
// 16-bit characters, bit 2: East Asian data follows, bit 3: rich-text runs follow),
// then the characters.

// The string at p, within len bytes, with a count of `countBytes` (1 or 2) bytes. `used`
// gets the bytes it takes, runs and East Asian data included. Nothing when it runs past len.
std::optional<QString> BiffUnicodeString(const char* p, int len, int countBytes, int* used = nullptr);

// A record and the CONTINUE records after it, read as one run of bytes. Characters of a
// string that go on in the next record start there with an option byte of their own.
class BiffContinued
{
public:
    void add(const char* p, int len) { m_parts.emplace_back(p, len); }
    bool skip(qint64 count);
    bool u16(quint16& value);
    bool u32(quint32& value);
    // One string with a two-byte count, as the shared strings hold them.
    bool string(QString& out);

private:
    bool byte(quint8& value);
    bool atEnd();

    std::vector<std::pair<const char*, int>> m_parts;
    size_t m_part = 0;
    int m_at = 0;
};
