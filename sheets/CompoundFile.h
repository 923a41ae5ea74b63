#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The compound document container (OLE2) of Excel 5 to 2003 workbooks.

// True when the data starts with the container's signature.
bool IsCompoundFile(const QByteArray& head);

// The first stream named like one of `names` (compared without case), as `stream`, which
// may share the bytes of `file`: use it while `file` stays unchanged. False, with `error`
// saying why, for a damaged container or when no such stream is in it.
bool ReadCompoundStream(const QByteArray& file, const QStringList& names, QByteArray& stream, QString& error);
