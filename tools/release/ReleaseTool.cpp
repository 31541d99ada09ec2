#include "tools/release/ReleaseTool.h"

#include "platform/crypto/Ed25519.h"
#include "platform/crypto/Sha256.h"
#include "platform/os/IniFile.h"
#include "platform/os/PrivateFiles.h"
#include "tools/release/ReleaseDeltas.h"
#include "upgrade/helper/suVersion.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <sys/stat.h>

namespace release {

namespace {

// The order of the main window's upgrade settings: the database, the
// version file, the program.
const QString kDatabaseName = QStringLiteral("dorvak.dat");
const QStringList kSettingsOrder = {kDatabaseName, QStringLiteral("softup.dll"),
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
    *hex = platform::crypto::sha256OfFile(path);
    if (hex->isEmpty())
        return QStringLiteral("cannot read %1").arg(path);
    return {};
}

// The information file is read by searching for "#key=" anywhere, and its
// values end at a control character, "}" ends the message.
QString checkTexts(const ReleaseSpec &spec)
{
    // The program refuses a version it cannot read, so nothing else is signed.
    if (spec.version != spec.version.trimmed() || !suParseVersion(spec.version))
        return QStringLiteral("the version must be one to four dotted whole numbers (each below 2^64), "
                              "such as 2.1");
    if (spec.message.contains(u'}') || spec.message.contains(u'#'))
        return QStringLiteral("the message may not contain '}' or '#'");
    static const QRegularExpression address(QStringLiteral("^https?://[^\\s#]+$"));
    if (!address.match(spec.baseUrl).hasMatch())
        return QStringLiteral("the base address must start with http:// or https:// and hold no spaces");
    if (!spec.expires.isValid())
        return QStringLiteral("the expiry must be a date written as YYYY-MM-DD");
    const QDate today = QDateTime::currentDateTimeUtc().date();
    if (spec.expires < today)
        return QStringLiteral("the expiry %1 has passed already").arg(spec.expires.toString(Qt::ISODate));
    if (today.daysTo(spec.expires) > kMaxExpiryDays && !spec.allowLongExpiry)
        return QStringLiteral(
                   "the expiry %1 is more than %2 days ahead: until then this release can be "
                   "served again to users of later ones; give --allow-long-expiry to sign it anyway")
            .arg(spec.expires.toString(Qt::ISODate))
            .arg(kMaxExpiryDays);
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

QString keyFileWarning(const QString &keyFile)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(keyFile).constData(), &info) != 0 || !(info.st_mode & 0077))
        return {};
    return QStringLiteral("warning: %1 can be read or changed by other users (mode %2); "
                          "a private key belongs to its owner alone: chmod 600 %1")
        .arg(keyFile)
        .arg(info.st_mode & 0777, 4, 8, QLatin1Char('0'));
}

bool keyNeedsPassPhrase(const QString &keyFile)
{
    QByteArray pem;
    return readAll(keyFile, &pem).isEmpty() && platform::crypto::isEncryptedPem(pem);
}

QString publicKeyOfFile(const QString &keyFile, QString *publicKeyText)
{
    QByteArray pem;
    if (QString error = readAll(keyFile, &pem); !error.isEmpty())
        return error;
    const QByteArray key = platform::crypto::publicKeyOfPem(pem);
    if (key.isEmpty() && platform::crypto::isEncryptedPem(pem))
        return QStringLiteral("%1 is protected by a pass phrase: give its public key file instead")
            .arg(keyFile);
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
        if (name == kInfoFileName || name == kSignatureFileName || isDeltaFile(name))
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

QString signRelease(const ReleaseSpec &spec, QStringList *notes)
{
    QStringList ignored;
    if (!notes)
        notes = &ignored;
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
    // Known to sign before the deltas take their time.
    if (platform::crypto::publicKeyOfPem(privateKey, spec.passPhrase).isEmpty())
        return platform::crypto::isEncryptedPem(privateKey)
                   ? QStringLiteral("the pass phrase does not open the private key %1")
                         .arg(spec.privateKeyFile)
                   : QStringLiteral("%1 holds no Ed25519 private key").arg(spec.privateKeyFile);
    QList<ReleaseDelta> deltas;
    if (!spec.previousFolders.isEmpty()) {
        if (!files.contains(kDatabaseName))
            return QStringLiteral("deltas are made of %1, which the folder does not hold").arg(kDatabaseName);
        if (QString error = makeDeltas(spec.folder, kDatabaseName, spec.version, spec.previousFolders,
                                       spec.databasePassPhrase, &deltas, notes);
            !error.isEmpty())
            return error;
    }

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
        text += QStringLiteral("#url%1=%2/%3\n#sha256%1=%4\n#size%1=%5\n")
                    .arg(suffix, base, files.at(i), hash)
                    .arg(QFileInfo(dir.filePath(files.at(i))).size());
        if (files.at(i) != kDatabaseName)
            continue;
        for (qsizetype d = 0; d < deltas.size(); ++d) {
            const ReleaseDelta &delta = deltas.at(d);
            text += QStringLiteral(
                        "#delta%1-%2=%3/%4\n#deltafrom%1-%2=%5\n#deltasha256%1-%2=%6\n#deltasize%1-%2=%7\n")
                        .arg(suffix)
                        .arg(d + 1)
                        .arg(base, delta.FileName, delta.From, delta.SHA256)
                        .arg(delta.Size);
        }
    }
    text += QStringLiteral("#message={%1}\n").arg(spec.message);

    const QByteArray info = text.toUtf8();
    const QByteArray signature = platform::crypto::sign(privateKey, info, spec.passPhrase);
    if (signature.isEmpty() && platform::crypto::isEncryptedPem(privateKey))
        return QStringLiteral("the pass phrase does not open the private key %1").arg(spec.privateKeyFile);
    if (signature.isEmpty())
        return QStringLiteral("%1 holds no Ed25519 private key").arg(spec.privateKeyFile);
    if (QString error = saveFile(dir.filePath(kInfoFileName), info); !error.isEmpty())
        return error;
    if (QString error = saveFile(dir.filePath(kSignatureFileName), signature); !error.isEmpty()) {
        QFile::remove(dir.filePath(kInfoFileName));
        return error;
    }
    return {};
}

} // namespace release
