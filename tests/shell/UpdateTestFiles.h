#pragma once

#include <QByteArray>
#include <QString>

// Programs as an update server would offer them: with a chosen revision, signed.

// `program` with the last part of the FileVersion in its version block set to
// `revision`, written with leading zeros to keep the block's length ("1.0.0.1" ->
// "1.0.0.2", "1.0.0.9" -> "1.00010"). Empty when the program has no version block.
QByteArray WithRevision(QByteArray program, int revision);

// An Ed25519 key made for one test, signing as `openssl pkeyutl -sign -rawin` does.
class TestSigner
{
public:
    TestSigner();
    ~TestSigner();
    TestSigner(const TestSigner&) = delete;
    TestSigner& operator=(const TestSigner&) = delete;

    // [Update] PublicKey: the base64 DER key, as between the PEM lines.
    QString publicKey() const;
    // The 64-byte signature of `data`.
    QByteArray sign(const QByteArray& data) const;

private:
    struct evp_pkey_st* m_key = nullptr;
};
