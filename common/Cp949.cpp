#include "common/Cp949.h"

#include <cerrno>
#include <iconv.h>

namespace cp949 {
namespace {

// iconv descriptors are costly to open; each thread keeps one per direction.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`, replacing each input unit that cannot be converted by
    // `replacement` and skipping `skipBytes` of input.
    QByteArray run(const char* in, size_t inSize, size_t skipBytes, const QByteArray& replacement)
    {
        QByteArray out;
        if (!isOpen())
            return out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(qsizetype(inSize * 2 + 16));
        char* src = const_cast<char*>(in);
        size_t srcLeft = inSize;
        char* dst = out.data();
        size_t dstLeft = size_t(out.size());
        while (srcLeft > 0) {
            if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1))
                break;
            if (errno == E2BIG) {
                const qsizetype used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = size_t(out.size() - used);
                continue;
            }
            // EILSEQ or EINVAL: an unconvertible or truncated sequence.
            if (dstLeft < size_t(replacement.size())) {
                const qsizetype used = dst - out.data();
                out.resize(out.size() * 2 + replacement.size());
                dst = out.data() + used;
                dstLeft = size_t(out.size() - used);
            }
            memcpy(dst, replacement.constData(), size_t(replacement.size()));
            dst += replacement.size();
            dstLeft -= size_t(replacement.size());
            const size_t skip = std::min(skipBytes, srcLeft);
            src += skip;
            srcLeft -= skip;
        }
        out.resize(dst - out.data());
        return out;
    }

private:
    iconv_t m_cd;
};

bool isAscii(const char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}

Converter& toCp949()
{
    thread_local Converter converter("CP949", "UTF-16LE");
    return converter;
}

Converter& fromCp949()
{
    thread_local Converter converter("UTF-16LE", "CP949");
    return converter;
}

} // namespace

bool available()
{
    return toCp949().isOpen() && fromCp949().isOpen();
}

QByteArray encode(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return text.toLatin1();
    return toCp949().run(reinterpret_cast<const char*>(text.utf16()), size_t(text.size()) * 2, 2,
                         QByteArrayLiteral("?"));
}

QString decode(const char* data, qsizetype size)
{
    if (size <= 0)
        return {};
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    const QByteArray utf16 = fromCp949().run(data, size_t(size), 1, QByteArrayLiteral("?\0"));
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QString unencodable(const QString& text)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < 0x80)
            continue;
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        i += n - 1;
        // One code point: any '?' in its code stands for what could not be converted.
        if (encode(c).contains('?') && !found.contains(c))
            found += c;
    }
    return found;
}

int byteLength(const QString& text)
{
    int bytes = 0;
    for (QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : int(encode(QString(c)).size());
    return bytes;
}

QString leftBytes(const QString& text, int maxBytes)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        bytes += c.unicode() < 0x80 ? 1 : int(encode(QString(c)).size());
        if (bytes > maxBytes)
            return text.left(i);
    }
    return text;
}

} // namespace cp949
