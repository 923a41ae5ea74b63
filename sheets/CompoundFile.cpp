#include "sheets/CompoundFile.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr int kHeaderDifat = 109;
constexpr int kDirEntrySize = 128;

quint32 u32At(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 u16At(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

class Container
{
public:
    explicit Container(const QByteArray& file) : m_file(file) {}

    bool open(QString& error);
    bool stream(const QStringList& names, QByteArray& out, QString& error);

private:
    // The sectors of a chain from `start`, each appended whole; false on a broken chain.
    bool chain(const std::vector<quint32>& table, quint32 start, QByteArray& out, bool mini) const;
    // Where in the file the stream of `size` bytes from sector `start` lies when its sectors
    // follow each other there; -1 when they do not.
    qsizetype run(quint32 start, quint32 size) const;
    bool sector(quint32 index, QByteArray& out) const;

    const QByteArray& m_file;
    int m_sectorSize = 512;
    int m_miniSize = 64;
    quint32 m_miniCutoff = 4096;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    QByteArray m_directory;
    QByteArray m_miniStream;
};

bool Container::sector(quint32 index, QByteArray& out) const
{
    const qsizetype at = (qsizetype(index) + 1) * m_sectorSize;
    if (at >= m_file.size())
        return false;
    // A last sector cut short is read as far as it goes.
    out.append(m_file.constData() + at, std::min<qsizetype>(m_sectorSize, m_file.size() - at));
    return true;
}

bool Container::chain(const std::vector<quint32>& table, quint32 start, QByteArray& out, bool mini) const
{
    for (size_t steps = 0; start != kEndOfChain; ++steps) {
        if (start >= table.size() || steps > table.size())
            return false;
        if (mini) {
            const qsizetype at = qsizetype(start) * m_miniSize;
            if (at + m_miniSize > m_miniStream.size())
                return false;
            out.append(m_miniStream.constData() + at, m_miniSize);
        } else if (!sector(start, out)) {
            return false;
        }
        start = table[start];
    }
    return true;
}

qsizetype Container::run(quint32 start, quint32 size) const
{
    const qsizetype at = (qsizetype(start) + 1) * m_sectorSize;
    const quint64 count = (quint64(size) + quint64(m_sectorSize) - 1) / quint64(m_sectorSize);
    if (count == 0 || at + qsizetype(size) > m_file.size())
        return -1;
    for (quint64 i = 1;; ++i, ++start) {
        if (start >= m_fat.size())
            return -1;
        const quint32 next = m_fat[start];
        if (i == count)
            return next == kEndOfChain ? at : -1;
        if (next != start + 1)
            return -1;
    }
}

bool Container::open(QString& error)
{
    if (m_file.size() < 512 || !IsCompoundFile(m_file)) {
        error = QStringLiteral("not a compound document");
        return false;
    }
    const int shift = u16At(m_file, 0x1E), miniShift = u16At(m_file, 0x20);
    if (shift < 7 || shift > 16 || miniShift < 2 || miniShift >= shift) {
        error = QStringLiteral("compound document: bad sector size");
        return false;
    }
    m_sectorSize = 1 << shift;
    m_miniSize = 1 << miniShift;
    m_miniCutoff = u32At(m_file, 0x38);
    const qsizetype sectors = m_file.size() / m_sectorSize;

    // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
    std::vector<quint32> fatSectors;
    for (int i = 0; i < kHeaderDifat; ++i)
        fatSectors.push_back(u32At(m_file, 0x4C + 4 * i));
    quint32 difat = u32At(m_file, 0x44);
    for (qsizetype steps = 0; difat < quint32(sectors) && steps <= sectors; ++steps) {
        QByteArray block;
        if (!sector(difat, block) || block.size() < m_sectorSize) {
            error = QStringLiteral("compound document: broken DIFAT");
            return false;
        }
        for (int i = 0; i + 1 < m_sectorSize / 4; ++i)
            fatSectors.push_back(u32At(block, 4 * i));
        difat = u32At(block, m_sectorSize - 4);
    }
    QByteArray fat;
    for (quint32 s : fatSectors)
        if (s < quint32(sectors) && !sector(s, fat))
            break;
    m_fat.resize(size_t(fat.size() / 4));
    for (size_t i = 0; i < m_fat.size(); ++i)
        m_fat[i] = u32At(fat, qsizetype(i) * 4);

    QByteArray miniFat;
    if (!chain(m_fat, u32At(m_file, 0x30), m_directory, false) ||
        (u32At(m_file, 0x3C) != kEndOfChain && !chain(m_fat, u32At(m_file, 0x3C), miniFat, false))) {
        error = QStringLiteral("compound document: broken sector chain");
        return false;
    }
    m_miniFat.resize(size_t(miniFat.size() / 4));
    for (size_t i = 0; i < m_miniFat.size(); ++i)
        m_miniFat[i] = u32At(miniFat, qsizetype(i) * 4);
    // The root entry's stream holds the small streams.
    if (m_directory.size() >= kDirEntrySize && m_directory[0x42] == 5 &&
        !chain(m_fat, u32At(m_directory, 0x74), m_miniStream, false)) {
        error = QStringLiteral("compound document: broken mini stream");
        return false;
    }
    return true;
}

bool Container::stream(const QStringList& names, QByteArray& out, QString& error)
{
    for (const QString& wanted : names) {
        for (qsizetype at = 0; at + kDirEntrySize <= m_directory.size(); at += kDirEntrySize) {
            const int nameBytes = u16At(m_directory, at + 0x40);
            if (m_directory[at + 0x42] != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString name = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(m_directory.constData() + at), nameBytes / 2 - 1);
            if (name.compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            const quint32 size = u32At(m_directory, at + 0x78);
            const bool mini = size < m_miniCutoff;
            const qsizetype inFile = mini ? -1 : run(u32At(m_directory, at + 0x74), size);
            if (inFile >= 0) {
                out = QByteArray::fromRawData(m_file.constData() + inFile, qsizetype(size));
                return true;
            }
            out.clear();
            // The stream's sectors come from the file: a stated size beyond it is damage.
            out.reserve(std::min<qsizetype>(size, m_file.size()) + m_sectorSize);
            if (!chain(mini ? m_miniFat : m_fat, u32At(m_directory, at + 0x74), out, mini) ||
                out.size() < qsizetype(size)) {
                error = QStringLiteral("compound document: stream %1 is cut short").arg(name);
                return false;
            }
            out.truncate(size);
            return true;
        }
    }
    error = QStringLiteral("compound document without a workbook stream");
    return false;
}

} // namespace

bool IsCompoundFile(const QByteArray& head)
{
    return head.startsWith(QByteArray(kSignature, 8));
}

bool ReadCompoundStream(const QByteArray& file, const QStringList& names, QByteArray& stream, QString& error)
{
    Container container(file);
    return container.open(error) && container.stream(names, stream, error);
}
