#pragma once

#include <QByteArray>
#include <QString>

// The one place where text crosses between the program's Unicode strings and the
// Korean ANSI code page (CP949) used by the database and the INI files.
namespace cp949 {

// False when the system offers no CP949 converter (a minimal installation without the
// character-set modules): every Korean text would then read as empty.
bool available();

// Characters that CP949 cannot hold become '?'.
QByteArray encode(const QString& text);
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

// The characters of `text` that CP949 has no code for (emoji, most other scripts),
// each once, in the order they first appear.
QString unencodable(const QString& text);

// Length of the text in CP949 bytes (a Hangul syllable counts 2).
int byteLength(const QString& text);

// The longest prefix of `text` whose CP949 form fits in `maxBytes`, never cutting
// a double-byte character in half.
QString leftBytes(const QString& text, int maxBytes);

} // namespace cp949
