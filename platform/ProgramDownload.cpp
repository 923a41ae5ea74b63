#include "platform/ProgramDownload.h"

#include "common/CHandle.h"
#include "platform/Download.h"
#include "platform/VersionInfo.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <system_error>

namespace {

constexpr qsizetype kSignatureBytes = 64;
constexpr qsizetype kSignatureFileLimit = 1024;

using KeyPtr = CHandle<EVP_PKEY, EVP_PKEY_free>;
using MdPtr = CHandle<EVP_MD_CTX, EVP_MD_CTX_free>;

KeyPtr ed25519Key(const QString& text)
{
    const auto der =
        QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.decoded.constData());
    KeyPtr key(der ? d2i_PUBKEY(nullptr, &bytes, long(der.decoded.size())) : nullptr);
    if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        return nullptr;
    return key;
}

// The program's bytes, checked; "" when they pass, else why not.
QString programProblem(const QString& file, const QString& url, double revision, const QString& publicKey)
{
    const QString found = ProgramRevision(file);
    if (found.isEmpty())
        return QStringLiteral("버전 정보가 없는 파일입니다. 프로그램이 아닌 것을 받았습니다.");
    const bool digits =
        std::all_of(found.begin(), found.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || found.toDouble() != revision)
        return QStringLiteral("파일의 버전(%1)이 서버가 알린 버전(%2)과 다릅니다.").arg(found).arg(revision);
    if (publicKey.trimmed().isEmpty())
        return {};
    AppError error;
    const QByteArray signature = ReadUrlBytes(url + QStringLiteral(".sig"), kSignatureFileLimit, &error);
    if (error.isSet())
        return QStringLiteral("서명 파일을 받을 수 없습니다 (%1).").arg(error.description);
    QFile program(file);
    if (!program.open(QIODevice::ReadOnly))
        return program.errorString();
    const qint64 size = program.size();
    const uchar* bytes = size > 0 ? program.map(0, size) : nullptr;
    return SignatureProblem(publicKey, QByteArrayView(bytes, bytes ? size : 0), signature);
}

bool moveOver(const QString& from, const QString& to, AppError* error)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), ec);
    if (ec && error)
        *error = {ec.value(), QStringLiteral("Download"), QString::fromStdString(ec.message())};
    return !ec;
}

} // namespace

QString ProgramRevision(const QString& path)
{
    const QString version = GetFileVer(path, true);
    return version.isEmpty() ? QString() : version.mid(version.lastIndexOf(QLatin1Char('.')) + 1);
}

QString SignatureProblem(const QString& publicKey, QByteArrayView data, const QByteArray& signature)
{
    const KeyPtr key = ed25519Key(publicKey);
    if (!key)
        return QStringLiteral("site.ini의 [Update] PublicKey가 Ed25519 공개키가 아닙니다.");
    const MdPtr ctx(EVP_MD_CTX_new());
    const bool valid =
        signature.size() == kSignatureBytes && ctx &&
        EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
        EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char*>(signature.constData()),
                         size_t(signature.size()), reinterpret_cast<const unsigned char*>(data.data()),
                         size_t(data.size())) == 1;
    return valid ? QString() : QStringLiteral("서명이 맞지 않습니다. 서버의 파일이 서명된 파일과 다릅니다.");
}

ProgramDownload DownloadProgram(const QString& url, const QString& path, double revision,
                                const QString& publicKey, AppError* error)
{
    const QString part = path + QStringLiteral(".download");
    if (!DownloadUrlToFile(url, part, error))
        return ProgramDownload::Failed;
    if (const QString problem = programProblem(part, url, revision, publicKey); !problem.isEmpty()) {
        QFile::remove(part);
        if (error)
            *error = {-1, QStringLiteral("Download"), problem};
        return ProgramDownload::Refused;
    }
    QFileDevice::Permissions mode =
        QFileInfo::exists(path) ? QFile::permissions(path) : QFile::permissions(part);
    mode |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (mode & QFileDevice::ReadGroup)
        mode |= QFileDevice::ExeGroup;
    if (mode & QFileDevice::ReadOther)
        mode |= QFileDevice::ExeOther;
    QFile::setPermissions(part, mode);
    if (!moveOver(part, path, error)) {
        QFile::remove(part);
        return ProgramDownload::Failed;
    }
    return ProgramDownload::Done;
}
