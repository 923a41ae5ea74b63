#include "platform/ExeImage.h"

#include <QFile>
#include <cstdint>
#include <optional>

namespace {

// Bounds-checked little-endian reads from the image.
class Reader
{
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    bool has(uint64_t offset, uint64_t size) const
    {
        const uint64_t total = uint64_t(m_data.size());
        return offset <= total && size <= total - offset;
    }
    std::optional<uint64_t> uint(uint64_t offset, int bytes) const
    {
        if (!has(offset, uint64_t(bytes)))
            return std::nullopt;
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint64_t b = uint8_t(m_data[qsizetype(offset) + i]);
            v |= b << (8 * i);
        }
        return v;
    }
    QByteArray bytes(uint64_t offset, uint64_t size) const
    {
        if (!has(offset, size))
            return {};
        return m_data.sliced(qsizetype(offset), qsizetype(size)).toByteArray();
    }

private:
    QByteArrayView m_data;
};

// ---- PE ----

constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kSubdirectory = 0x80000000u;

struct PeSection
{
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
};

class PeImage
{
public:
    explicit PeImage(QByteArrayView data) : m_r(data) {}

    QByteArray versionBlock()
    {
        if (!readHeaders())
            return {};
        const std::optional<uint64_t> root = fileOffset(m_resourceRva);
        if (!root)
            return {};
        // type RT_VERSION -> first name -> first language -> data entry
        std::optional<uint32_t> entry = findEntry(*root, 0, kRtVersion, true);
        if (!entry || !(*entry & kSubdirectory))
            return {};
        entry = findEntry(*root, *entry & ~kSubdirectory, 0, false);
        if (!entry || !(*entry & kSubdirectory))
            return {};
        entry = findEntry(*root, *entry & ~kSubdirectory, 0, false);
        if (!entry || (*entry & kSubdirectory))
            return {};
        const auto dataRva = m_r.uint(*root + *entry, 4);
        const auto dataSize = m_r.uint(*root + *entry + 4, 4);
        if (!dataRva || !dataSize)
            return {};
        const std::optional<uint64_t> at = fileOffset(uint32_t(*dataRva));
        return at ? m_r.bytes(*at, *dataSize) : QByteArray();
    }

private:
    bool readHeaders()
    {
        if (m_r.uint(0, 2) != 0x5A4D) // "MZ"
            return false;
        const auto peOffset = m_r.uint(0x3C, 4);
        if (!peOffset || m_r.uint(*peOffset, 4) != 0x00004550) // "PE\0\0"
            return false;
        const uint64_t coff = *peOffset + 4;
        const auto sectionCount = m_r.uint(coff + 2, 2);
        const auto optionalSize = m_r.uint(coff + 16, 2);
        if (!sectionCount || !optionalSize)
            return false;
        const uint64_t optional = coff + 20;
        const auto magic = m_r.uint(optional, 2);
        uint64_t directories = 0;
        if (magic == 0x10B)
            directories = optional + 96;
        else if (magic == 0x20B)
            directories = optional + 112;
        else
            return false;
        const auto directoryCount = m_r.uint(directories - 4, 4);
        if (!directoryCount || *directoryCount < 3 || directories + 3 * 8 > optional + *optionalSize)
            return false;
        const auto resourceRva = m_r.uint(directories + 2 * 8, 4);
        if (!resourceRva || *resourceRva == 0)
            return false;
        m_resourceRva = uint32_t(*resourceRva);
        const uint64_t table = optional + *optionalSize;
        for (uint64_t i = 0; i < *sectionCount; ++i) {
            const uint64_t s = table + i * 40;
            if (!m_r.has(s, 40))
                return false;
            PeSection sec;
            sec.virtualSize = uint32_t(*m_r.uint(s + 8, 4));
            sec.virtualAddress = uint32_t(*m_r.uint(s + 12, 4));
            sec.rawSize = uint32_t(*m_r.uint(s + 16, 4));
            sec.rawOffset = uint32_t(*m_r.uint(s + 20, 4));
            m_sections.append(sec);
        }
        return true;
    }

    std::optional<uint64_t> fileOffset(uint32_t rva) const
    {
        for (const PeSection& s : m_sections) {
            const uint64_t extent = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && uint64_t(rva) < uint64_t(s.virtualAddress) + extent) {
                const uint64_t delta = rva - s.virtualAddress;
                if (delta >= s.rawSize)
                    return std::nullopt;
                return uint64_t(s.rawOffset) + delta;
            }
        }
        return std::nullopt;
    }

    // The OffsetToData field of the entry of the directory at `dir` (relative to the
    // resource root) whose id is `id`, or of its first entry when !matchId.
    std::optional<uint32_t> findEntry(uint64_t root, uint64_t dir, uint32_t id, bool matchId) const
    {
        const auto named = m_r.uint(root + dir + 12, 2);
        const auto ids = m_r.uint(root + dir + 14, 2);
        if (!named || !ids)
            return std::nullopt;
        const uint64_t count = *named + *ids;
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t e = root + dir + 16 + i * 8;
            const auto name = m_r.uint(e, 4);
            const auto offset = m_r.uint(e + 4, 4);
            if (!name || !offset)
                return std::nullopt;
            if (!matchId || *name == id)
                return uint32_t(*offset);
        }
        return std::nullopt;
    }

    Reader m_r;
    uint32_t m_resourceRva = 0;
    QList<PeSection> m_sections;
};

// ---- ELF ----

QByteArray elfVersionSection(QByteArrayView data)
{
    constexpr char kMagic[] = {0x7f, 'E', 'L', 'F'};
    if (data.size() < 16 || !data.startsWith(QByteArrayView(kMagic, 4)))
        return {};
    const char elfClass = data[4];
    const bool littleEndian = data[5] == 1;
    if ((elfClass != 1 && elfClass != 2) || !littleEndian)
        return {};
    const bool is64 = elfClass == 2;
    const Reader r(data);
    const int word = is64 ? 8 : 4;
    const auto shoff = r.uint(is64 ? 0x28 : 0x20, word);
    const auto shentsize = r.uint(is64 ? 0x3A : 0x2E, 2);
    const auto shnum = r.uint(is64 ? 0x3C : 0x30, 2);
    const auto shstrndx = r.uint(is64 ? 0x3E : 0x32, 2);
    if (!shoff || !shentsize || !shnum || !shstrndx || *shentsize < uint64_t(is64 ? 64 : 40) ||
        *shstrndx >= *shnum || *shoff >= uint64_t(data.size()))
        return {};
    struct Section
    {
        uint64_t name = 0, type = 0, offset = 0, size = 0;
    };
    auto section = [&](uint64_t i) -> std::optional<Section> {
        const uint64_t at = *shoff + i * *shentsize;
        const auto name = r.uint(at, 4);
        const auto type = r.uint(at + 4, 4);
        const auto offset = r.uint(at + (is64 ? 0x18 : 0x10), word);
        const auto size = r.uint(at + (is64 ? 0x20 : 0x14), word);
        if (!name || !type || !offset || !size)
            return std::nullopt;
        return Section{*name, *type, *offset, *size};
    };
    const std::optional<Section> names = section(*shstrndx);
    if (!names || !r.has(names->offset, names->size))
        return {};
    const QByteArrayView nameTable = data.sliced(qsizetype(names->offset), qsizetype(names->size));
    const QByteArrayView wanted(kElfVersionSection);
    constexpr uint64_t kNoBits = 8;
    for (uint64_t i = 0; i < *shnum; ++i) {
        const std::optional<Section> s = section(i);
        if (!s)
            return {};
        if (s->type == kNoBits || s->name >= uint64_t(nameTable.size()))
            continue;
        const QByteArrayView rest = nameTable.sliced(qsizetype(s->name));
        const qsizetype end = rest.indexOf('\0');
        if (end >= 0 && rest.first(end) == wanted)
            return r.bytes(s->offset, s->size);
    }
    return {};
}

} // namespace

QByteArray VersionBlockFromImage(QByteArrayView image)
{
    if (image.startsWith("MZ"))
        return PeImage(image).versionBlock();
    return elfVersionSection(image);
}

QByteArray ReadVersionBlock(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return {};
    const uchar* mapped = file.map(0, file.size());
    if (!mapped)
        return {};
    return VersionBlockFromImage(QByteArrayView(mapped, file.size()));
}
