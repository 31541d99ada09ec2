#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Ed25519 signatures (RFC 8032) over OpenSSL's EVP interface. Keys are the
// standard encodings: a public key is its 32 raw bytes, a private key is
// kept as PKCS#8 PEM ("BEGIN PRIVATE KEY", as `openssl genpkey -algorithm
// ed25519` writes it), a signature is its 64 raw bytes.
namespace platform::crypto {

inline constexpr qsizetype kPublicKeySize = 32;
inline constexpr qsizetype kSignatureSize = 64;

// Whether signature is a valid signature of message by the public key.
// False for a key or a signature of the wrong size.
bool verifySignature(const QByteArray &publicKey, const QByteArray &message, const QByteArray &signature);

// A public key written as 64 hexadecimal digits or as the base64 of its 32
// bytes; empty when the text is neither.
QByteArray publicKeyFromText(const QString &text);
// The base64 form of a public key, as a build configuration holds it.
QString publicKeyText(const QByteArray &publicKey);

struct KeyPair
{
    QByteArray privatePem; // PKCS#8
    QByteArray publicPem;  // SubjectPublicKeyInfo ("BEGIN PUBLIC KEY")
    QByteArray publicKey;  // the 32 raw bytes
};

// A fresh key pair from the system's random source; nothing when the
// library fails.
std::optional<KeyPair> generateKeyPair();

// Whether a PEM private key is protected by a pass phrase (PKCS#8
// "ENCRYPTED PRIVATE KEY", as `openssl genpkey -aes256` writes it).
bool isEncryptedPem(const QByteArray &pem);

// The raw public key of a PEM private or public Ed25519 key; empty when the
// text holds no such key (or a protected one and not its pass phrase).
QByteArray publicKeyOfPem(const QByteArray &pem, const QByteArray &passPhrase = {});

// The signature of message made with a PEM private key, protected by
// passPhrase or not at all; empty when the text holds no Ed25519 private
// key or the pass phrase does not open it. Never asks on the terminal.
QByteArray sign(const QByteArray &privatePem, const QByteArray &message, const QByteArray &passPhrase = {});

// Asks for a pass phrase on the controlling terminal without echoing it;
// nothing when there is no terminal or the user gives none.
std::optional<QByteArray> readPassPhrase(const QString &prompt);

} // namespace platform::crypto
