#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// A zip archive held in memory (the container of Excel 2007 and later workbooks), read
// through minizip. Its header stays out of the rest of the program.
class ZipArchive
{
public:
    explicit ZipArchive(const QByteArray& data);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // The unpacked member `name`; false when there is none, it is damaged, or it unpacks
    // to more than `maxBytes`.
    bool read(const QString& name, QByteArray& out, qint64 maxBytes) const;

    struct Source;

private:
    std::unique_ptr<Source> m_source;
    void* m_zip = nullptr;
};
