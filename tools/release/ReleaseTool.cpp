#include "tools/release/ReleaseTool.h"

#include "platform/crypto/Ed25519.h"
#include "platform/os/IniFile.h"
#include "platform/os/PrivateFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace release {

namespace {

// The order of the main window's upgrade settings: the database, the
// version file, the program.
const QStringList kSettingsOrder = {QStringLiteral("dorvak.dat"), QStringLiteral("softup.dll"),
                                    QStringLiteral("Dorvak.exe")};

QString readAll(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    *bytes = file.readAll();
    return {};
}

QString saveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

QString sha256Of(const QString &path, QString *hex)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    *hex = QString::fromLatin1(hash.result().toHex());
    return {};
}

// The information file is read by searching for "#key=" anywhere, and its
// values end at a control character, "}" ends the message.
QString checkTexts(const ReleaseSpec &spec)
{
    static const QRegularExpression version(QStringLiteral("^[0-9]+(\\.[0-9]+){0,3}$"));
    if (!version.match(spec.version).hasMatch())
        return QStringLiteral("the version must be up to four dotted numbers, such as 2.1");
    if (spec.message.contains(u'}') || spec.message.contains(u'#'))
        return QStringLiteral("the message may not contain '}' or '#'");
    static const QRegularExpression address(QStringLiteral("^https?://[^\\s#]+$"));
    if (!address.match(spec.baseUrl).hasMatch())
        return QStringLiteral("the base address must start with http:// or https:// and hold no spaces");
    if (!spec.expires.isValid())
        return QStringLiteral("the expiry must be a date written as YYYY-MM-DD");
    if (spec.expires < QDateTime::currentDateTimeUtc().date())
        return QStringLiteral("the expiry %1 has passed already").arg(spec.expires.toString(Qt::ISODate));
    return {};
}

} // namespace

QString generateKeys(const QString &privateKeyFile, QString *publicKeyText)
{
    const std::optional<platform::crypto::KeyPair> pair = platform::crypto::generateKeyPair();
    if (!pair)
        return QStringLiteral("the cryptography library could not make a key");
    const QString publicKeyFile = privateKeyFile + QStringLiteral(".pub");
    if (QFileInfo::exists(publicKeyFile) || QFileInfo(publicKeyFile).isSymLink())
        return QStringLiteral("%1 exists already; keys are never overwritten").arg(publicKeyFile);
    if (!platform::writeNewFile(privateKeyFile, pair->privatePem, 0600))
        return QStringLiteral("cannot create %1 (keys are never overwritten)").arg(privateKeyFile);
    if (!platform::writeNewFile(publicKeyFile, pair->publicPem, 0644)) {
        QFile::remove(privateKeyFile);
        return QStringLiteral("cannot create %1").arg(publicKeyFile);
    }
    *publicKeyText = platform::crypto::publicKeyText(pair->publicKey);
    return {};
}

QString publicKeyOfFile(const QString &keyFile, QString *publicKeyText)
{
    QByteArray pem;
    if (QString error = readAll(keyFile, &pem); !error.isEmpty())
        return error;
    const QByteArray key = platform::crypto::publicKeyOfPem(pem);
    if (key.isEmpty())
        return QStringLiteral("%1 holds no Ed25519 key").arg(keyFile);
    *publicKeyText = platform::crypto::publicKeyText(key);
    return {};
}

QString releaseFiles(const QString &folder, QStringList *files)
{
    const QDir dir(folder);
    if (!dir.exists())
        return QStringLiteral("there is no folder %1").arg(folder);
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    QStringList found;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name == kInfoFileName || name == kSignatureFileName)
            continue;
        if (entry.isSymLink() || !entry.isFile())
            return QStringLiteral("%1 is not a plain file; a release folder holds only files").arg(name);
        if (!plainName.match(name).hasMatch())
            return QStringLiteral("%1: use letters, digits, '.', '_' and '-' in file names").arg(name);
        found << name;
    }
    if (found.isEmpty())
        return QStringLiteral("the folder %1 holds no release files").arg(folder);
    files->clear();
    for (const QString &name : kSettingsOrder) {
        if (found.removeOne(name))
            *files << name;
    }
    *files << found;
    return {};
}

QString signRelease(const ReleaseSpec &spec)
{
    if (QString error = checkTexts(spec); !error.isEmpty())
        return error;
    QStringList files;
    if (QString error = releaseFiles(spec.folder, &files); !error.isEmpty())
        return error;
    const QDir dir(spec.folder);
    // A version file that says another version would offer this release
    // again after every upgrade.
    if (files.contains(QStringLiteral("softup.dll"))) {
        const QString installed =
            platform::readProfileString(dir.filePath(QStringLiteral("softup.dll")), QStringLiteral("SYS"),
                                        QStringLiteral("UPDATESET"), {});
        if (installed != spec.version)
            return QStringLiteral("softup.dll says UPDATESET=%1, not the release's version %2")
                .arg(installed, spec.version);
    }
    QByteArray privateKey;
    if (QString error = readAll(spec.privateKeyFile, &privateKey); !error.isEmpty())
        return error;

    QString base = spec.baseUrl;
    while (base.endsWith(u'/'))
        base.chop(1);
    QString text =
        QStringLiteral("#version=%1\n#expires=%2\n").arg(spec.version, spec.expires.toString(Qt::ISODate));
    for (qsizetype i = 0; i < files.size(); ++i) {
        // "url", then "url2", "url3", ... as the program numbers them.
        const QString suffix = i == 0 ? QString() : QString::number(i + 1);
        QString hash;
        if (QString error = sha256Of(dir.filePath(files.at(i)), &hash); !error.isEmpty())
            return error;
        text += QStringLiteral("#url%1=%2/%3\n#sha256%1=%4\n").arg(suffix, base, files.at(i), hash);
    }
    text += QStringLiteral("#message={%1}\n").arg(spec.message);

    const QByteArray info = text.toUtf8();
    const QByteArray signature = platform::crypto::sign(privateKey, info);
    if (signature.isEmpty())
        return QStringLiteral("%1 holds no Ed25519 private key (or one protected by a pass phrase)")
            .arg(spec.privateKeyFile);
    if (QString error = saveFile(dir.filePath(kInfoFileName), info); !error.isEmpty())
        return error;
    if (QString error = saveFile(dir.filePath(kSignatureFileName), signature); !error.isEmpty()) {
        QFile::remove(dir.filePath(kInfoFileName));
        return error;
    }
    return {};
}

} // namespace release
