#include "sheets/ZipArchive.h"

#include <cstring>
#include <unzip.h>

struct ZipArchive::Source
{
    QByteArray data;
    qint64 pos = 0;
};

namespace {

using Source = ZipArchive::Source;

voidpf ZCALLBACK openSource(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ZCALLBACK readSource(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<Source*>(stream);
    const qint64 n = std::min<qint64>(qint64(size), s->data.size() - s->pos);
    if (n <= 0)
        return 0;
    std::memcpy(buf, s->data.constData() + s->pos, size_t(n));
    s->pos += n;
    return uLong(n);
}

uLong ZCALLBACK writeSource(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellSource(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<Source*>(stream)->pos);
}

long ZCALLBACK seekSource(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* s = static_cast<Source*>(stream);
    qint64 base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = s->pos;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = s->data.size();
    const qint64 to = base + qint64(offset);
    if (to < 0 || to > s->data.size())
        return -1;
    s->pos = to;
    return 0;
}

int ZCALLBACK closeSource(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK errorSource(voidpf, voidpf)
{
    return 0;
}

} // namespace

ZipArchive::ZipArchive(const QByteArray& data) : m_source(std::make_unique<Source>())
{
    m_source->data = data;
    zlib_filefunc64_def io{openSource, readSource,  writeSource, tellSource,
                           seekSource, closeSource, errorSource, m_source.get()};
    m_zip = unzOpen2_64("memory", &io);
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        unzClose(m_zip);
}

bool ZipArchive::read(const QString& name, QByteArray& out, qint64 maxBytes) const
{
    out.clear();
    if (!m_zip || unzLocateFile(m_zip, name.toUtf8().constData(), 2) != UNZ_OK)
        return false;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        qint64(info.uncompressed_size) > maxBytes || unzOpenCurrentFile(m_zip) != UNZ_OK)
        return false;
    out.resize(qsizetype(info.uncompressed_size));
    qint64 got = 0;
    int n = 0;
    char extra;
    while (got < out.size() &&
           (n = unzReadCurrentFile(m_zip, out.data() + got,
                                   unsigned(std::min<qint64>(out.size() - got, 1 << 20)))) > 0)
        got += n;
    // A member that unpacks to more than its stated size is damaged.
    const bool whole = n >= 0 && got == out.size() && unzReadCurrentFile(m_zip, &extra, 1) == 0;
    return unzCloseCurrentFile(m_zip) == UNZ_OK && whole;
}
