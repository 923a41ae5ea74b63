#include "UpdateTestFiles.h"

#include "platform/ExeImage.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

QByteArray WithRevision(QByteArray program, int revision)
{
    const QByteArray block = VersionBlockFromImage(program);
    const qsizetype at = block.isEmpty() ? -1 : program.indexOf(block);
    const QByteArray key = QByteArray("F\0i\0l\0e\0V\0e\0r\0s\0i\0o\0n\0\0\0", 24);
    qsizetype value = block.indexOf(key);
    if (at < 0 || value < 0)
        return {};
    value += key.size();
    while (value + 1 < block.size() && block[value] == 0 && block[value + 1] == 0)
        value += 2;
    qsizetype end = value;
    while (end + 1 < block.size() && (block[end] || block[end + 1]))
        end += 2;
    const QString old =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(block.constData() + value), (end - value) / 2);
    // The last part keeps its place when the number fits there, else it starts after "1.".
    qsizetype dot = old.lastIndexOf(QLatin1Char('.'));
    const QString number = QString::number(revision);
    if (number.size() > old.size() - dot - 1)
        dot = 1;
    if (old.size() < 3 || number.size() > old.size() - dot - 1)
        return {};
    const QString fresh = (dot == 1 ? QStringLiteral("1.") : old.left(dot + 1)) +
                          number.rightJustified(old.size() - dot - 1, QLatin1Char('0'));
    program.replace(at + value, end - value,
                    QByteArray(reinterpret_cast<const char*>(fresh.utf16()), fresh.size() * 2));
    return program;
}

TestSigner::TestSigner() : m_key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519")) {}

TestSigner::~TestSigner()
{
    EVP_PKEY_free(m_key);
}

QString TestSigner::publicKey() const
{
    unsigned char* der = nullptr;
    const int size = i2d_PUBKEY(m_key, &der);
    const QByteArray bytes(reinterpret_cast<const char*>(der), size);
    OPENSSL_free(der);
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray TestSigner::sign(const QByteArray& data) const
{
    QByteArray signature(64, '\0');
    size_t size = size_t(signature.size());
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    EVP_DigestSignInit(ctx, nullptr, nullptr, nullptr, m_key);
    EVP_DigestSign(ctx, reinterpret_cast<unsigned char*>(signature.data()), &size,
                   reinterpret_cast<const unsigned char*>(data.constData()), size_t(data.size()));
    EVP_MD_CTX_free(ctx);
    return signature;
}
