// velmora-release: the vendor's tool for publishing an online upgrade.
//
//   velmora-release keygen KEYFILE
//   velmora-release pubkey KEYFILE
//   velmora-release sign --folder DIR --version V --message TEXT
//                        --base-url URL --expires YYYY-MM-DD --key KEYFILE
//                        [--pass-file FILE] [--allow-long-expiry]
//                        [--previous DIR]...

#include "tools/release/ReleaseTool.h"

#include "platform/crypto/Ed25519.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr const char *kUsage =
    "usage:\n"
    "  velmora-release keygen KEYFILE\n"
    "      writes a new private key to KEYFILE (mode 0600) and its public key to KEYFILE.pub,\n"
    "      and prints the public key for the build (-DVELMORA_UPGRADE_KEY=...)\n"
    "  velmora-release pubkey KEYFILE\n"
    "      prints the public key of a private or public key file\n"
    "  velmora-release sign --folder DIR --version V --message TEXT --base-url URL\n"
    "                       --expires YYYY-MM-DD --key KEYFILE [--pass-file FILE]\n"
    "                       [--allow-long-expiry] [--previous DIR]...\n"
    "      writes DIR/dorvak.inf, listing every file of DIR with its SHA-256 and size under URL,\n"
    "      and its signature DIR/dorvak.inf.sig. A key protected by a pass phrase is opened\n"
    "      with the first line of --pass-file FILE, or asked for on the terminal. An expiry\n"
    "      more than 366 days ahead is refused unless --allow-long-expiry is given.\n"
    "      Each --previous DIR is the folder of an earlier release as it was published: DIR's\n"
    "      dorvak.dat is laid out on the pages of the newest one's, and a delta from each of\n"
    "      them (the last three at most) is written beside it and listed, so that a user of\n"
    "      one of those releases downloads only the pages that changed.\n";

int fail(const QString &error)
{
    std::fprintf(stderr, "velmora-release: %s\n", qPrintable(error));
    return 1;
}

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

int printKey(const QString &error, const QString &publicKey)
{
    if (!error.isEmpty())
        return fail(error);
    std::printf("-DVELMORA_UPGRADE_KEY=%s\n", qPrintable(publicKey));
    return 0;
}

// The pass phrase of a protected key: the first line of the pass file, or
// asked for on the terminal.
bool passPhraseFor(const QString &keyFile, const QString &passFile, QByteArray *passPhrase, QString *error)
{
    if (!passFile.isEmpty()) {
        QFile file(passFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(passFile, file.errorString());
            return false;
        }
        *passPhrase = file.readLine(4096);
        while (passPhrase->endsWith('\n') || passPhrase->endsWith('\r'))
            passPhrase->chop(1);
        return true;
    }
    if (!release::keyNeedsPassPhrase(keyFile))
        return true;
    const std::optional<QByteArray> typed =
        ::isatty(STDIN_FILENO)
            ? platform::crypto::readPassPhrase(QStringLiteral("Pass phrase for %1: ").arg(keyFile))
            : std::nullopt;
    if (!typed) {
        *error =
            QStringLiteral("%1 is protected by a pass phrase: give --pass-file FILE or run on a terminal")
                .arg(keyFile);
        return false;
    }
    *passPhrase = *typed;
    return true;
}

int sign(const QStringList &arguments)
{
    static const QStringList names = {QStringLiteral("--folder"),  QStringLiteral("--version"),
                                      QStringLiteral("--message"), QStringLiteral("--base-url"),
                                      QStringLiteral("--expires"), QStringLiteral("--key")};
    static const QString passFileOption = QStringLiteral("--pass-file");
    static const QString longExpiryFlag = QStringLiteral("--allow-long-expiry");
    static const QString previousOption = QStringLiteral("--previous");
    QHash<QString, QString> options;
    QStringList previous;
    bool allowLongExpiry = false;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        if (arguments.at(i) == longExpiryFlag) {
            allowLongExpiry = true;
            --i;
            continue;
        }
        if (arguments.at(i) == previousOption && i + 1 < arguments.size()) {
            previous << arguments.at(i + 1);
            continue;
        }
        if ((!names.contains(arguments.at(i)) && arguments.at(i) != passFileOption) ||
            i + 1 == arguments.size())
            return usage();
        options.insert(arguments.at(i), arguments.at(i + 1));
    }
    for (const QString &name : names) {
        if (!options.contains(name))
            return fail(QStringLiteral("%1 is missing").arg(name));
    }
    release::ReleaseSpec spec;
    spec.folder = options.value(QStringLiteral("--folder"));
    spec.version = options.value(QStringLiteral("--version"));
    spec.message = options.value(QStringLiteral("--message"));
    spec.baseUrl = options.value(QStringLiteral("--base-url"));
    spec.expires = QDate::fromString(options.value(QStringLiteral("--expires")), Qt::ISODate);
    spec.allowLongExpiry = allowLongExpiry;
    spec.privateKeyFile = options.value(QStringLiteral("--key"));
    spec.previousFolders = previous;
    if (const QString warning = release::keyFileWarning(spec.privateKeyFile); !warning.isEmpty())
        std::fprintf(stderr, "velmora-release: %s\n", qPrintable(warning));
    QString error;
    if (!passPhraseFor(spec.privateKeyFile, options.value(passFileOption), &spec.passPhrase, &error))
        return fail(error);
    QStringList notes;
    const QString failure = release::signRelease(spec, &notes);
    for (const QString &note : std::as_const(notes))
        std::fprintf(stderr, "velmora-release: %s\n", qPrintable(note));
    if (!failure.isEmpty())
        return fail(failure);
    std::printf("%s/%s\n%s/%s\n", qPrintable(spec.folder), qPrintable(release::kInfoFileName),
                qPrintable(spec.folder), qPrintable(release::kSignatureFileName));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString command = arguments.value(0);
    QString publicKey;
    if (command == QLatin1String("keygen") && arguments.size() == 2) {
        const QString error = release::generateKeys(arguments.at(1), &publicKey);
        if (error.isEmpty())
            std::printf("%s: private key, keep it secret\n%s.pub: public key\n", qPrintable(arguments.at(1)),
                        qPrintable(arguments.at(1)));
        return printKey(error, publicKey);
    }
    if (command == QLatin1String("pubkey") && arguments.size() == 2)
        return printKey(release::publicKeyOfFile(arguments.at(1), &publicKey), publicKey);
    if (command == QLatin1String("sign"))
        return sign(arguments.mid(1));
    return usage();
}
