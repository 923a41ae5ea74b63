// The INI reader (common/IniDocument.h, as common/ProfileIni.h loads it: CP949 text) on
// any bytes: after a value is set it reads back as set, also once the document has been
// written out and read again, and every other key keeps its value.
//
// The input: a CP949 INI text, then (after the last NUL byte, when there is one) the
// section, key and value to set, separated by "|".

#include "FuzzCheck.h"
#include "common/Cp949.h"
#include "common/IniDocument.h"

namespace {

// A section or key name the file format can hold.
bool isName(const QString& name)
{
    const QString t = name.trimmed();
    return !t.isEmpty() && t == name && !t.contains(QLatin1Char('=')) && !t.contains(QLatin1Char('[')) &&
           !t.contains(QLatin1Char(']')) && !t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const qsizetype nul = bytes.lastIndexOf('\0');
    const QString text = cp949::decode(nul < 0 ? bytes : bytes.left(nul));
    const QStringList change =
        cp949::decode(nul < 0 ? QByteArray() : bytes.mid(nul + 1)).split(QLatin1Char('|'));

    IniDocument doc = IniDocument::parse(text);
    const QString written = doc.text(QStringLiteral("\r\n"));
    FUZZ_CHECK(IniDocument::parse(written).text(QStringLiteral("\r\n")) == written);
    if (change.size() != 3 || !isName(change[0]) || !isName(change[1]) ||
        change[2].contains(QLatin1Char('\n')) || change[2].contains(QLatin1Char('\r')))
        return 0;
    const QString &section = change[0], &key = change[1], &value = change[2];
    const std::optional<QString> other = doc.rawValue(QStringLiteral("Other"), QStringLiteral("Key"));
    doc.set(section, key, value);
    FUZZ_CHECK(doc.rawValue(section, key) == value);
    const IniDocument again = IniDocument::parse(doc.text(QStringLiteral("\r\n")));
    FUZZ_CHECK(again.rawValue(section, key) == value);
    if (section.compare(QStringLiteral("Other"), Qt::CaseInsensitive) != 0 ||
        key.compare(QStringLiteral("Key"), Qt::CaseInsensitive) != 0)
        FUZZ_CHECK(again.rawValue(QStringLiteral("Other"), QStringLiteral("Key")) == other);
    doc.remove(section, key);
    return 0;
}
