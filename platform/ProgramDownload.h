#pragma once

#include "common/AppError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A program fetched from the update server is checked before it is run or swapped in:
// its version block must carry the revision the server advertised and, when the site
// names a public key ([Update] PublicKey), the server must keep a valid Ed25519
// signature of it beside it as "<file>.sig".

enum class ProgramDownload
{
    Done,    // `path` now holds the checked program
    Failed,  // the download failed; `path` is as it was
    Refused, // it arrived but failed a check; `path` is as it was
};

// Downloads `url` and, when it passes the checks, puts it in place of `path`: with the
// permissions of the file it replaces, runnable by its owner. `publicKey` is the text of
// [Update] PublicKey (empty: no signature needed). `error` says why it failed or was
// refused, in words for the user when refused.
ProgramDownload DownloadProgram(const QString& url, const QString& path, double revision,
                                const QString& publicKey, AppError* error = nullptr);

// The revision of a program file: the last part of its FileVersion ("1.0.0.12" -> "12");
// "" when it has no version block.
QString ProgramRevision(const QString& path);

// Checks the Ed25519 `signature` of `data`. The key is the base64 text of its DER form
// (the line between the PEM lines `openssl pkey -pubout` writes); the signature is the
// 64 bytes `openssl pkeyutl -sign -rawin` writes. "" when it is valid, else why not
// (for the user).
QString SignatureProblem(const QString& publicKey, QByteArrayView data, const QByteArray& signature);
