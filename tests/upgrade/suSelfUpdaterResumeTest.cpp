// A download that stopped is continued by the next upgrade of the same
// release: with Range and If-Range on the validator of the first answer,
// fetching only the bytes still missing; a server that answers with the
// whole file, or whose file changed, starts it again; what is continued is
// checked whole before it is installed.

#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdater.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include "../platform/net/RawHttpServer.h"
#include "SelfUpdaterFixture.h"
#include "support/QStringPrint.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <atomic>
#include <mutex>

namespace {

// A static file server as the test wants it to behave: answers a Range
// with If-Range naming its current ETag with the rest of the file (206),
// anything else with the whole file (200), and breaks off each answer at
// the next of the cut offsets (counted in the file) that lies inside it.
class FileServer
{
public:
    explicit FileServer(QByteArray body) : m_body(std::move(body))
    {
        m_server =
            std::make_unique<RawHttpServer>([this](const QByteArray &request) { return respond(request); });
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/big.dat").arg(m_server->port()); }

    void cutAt(QList<qint64> offsets)
    {
        std::lock_guard lock(m_lock);
        m_cuts = std::move(offsets);
    }
    void setETag(const QByteArray &etag)
    {
        std::lock_guard lock(m_lock);
        m_etag = etag;
    }
    void setHonoursRanges(bool on) { m_ranges = on; }
    // Gives a 206 a Content-Range that is not the part asked for.
    void setWrongContentRange(bool on) { m_wrongRange = on; }
    qint64 bytesSent() const { return m_sent.load(); }
    // "200" or "206 from N" for each answer, in order.
    QStringList answers() const
    {
        std::lock_guard lock(m_lock);
        return m_answers;
    }

private:
    static QByteArray header(const QByteArray &request, const QByteArray &name)
    {
        for (const QByteArray &line : request.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return {};
    }

    QByteArray respond(const QByteArray &request)
    {
        std::lock_guard lock(m_lock);
        const qint64 size = m_body.size();
        const QByteArray range = header(request, "Range");
        const QByteArray ifRange = header(request, "If-Range");
        qint64 from = 0;
        const QRegularExpression open(QStringLiteral("^bytes=(\\d+)-$"));
        const QRegularExpressionMatch match = open.match(QString::fromLatin1(range));
        if (m_ranges && match.hasMatch() && ifRange == m_etag)
            from = match.captured(1).toLongLong();
        qint64 end = size;
        while (!m_cuts.isEmpty() && m_cuts.first() <= from)
            m_cuts.removeFirst();
        if (!m_cuts.isEmpty()) {
            end = std::min(end, m_cuts.first());
            m_cuts.removeFirst();
        }
        QByteArray head;
        if (from > 0) {
            m_answers << QStringLiteral("206 from %1").arg(from);
            const qint64 shownFrom = m_wrongRange ? from - 1 : from;
            head = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + QByteArray::number(shownFrom) +
                   '-' + QByteArray::number(size - 1) + '/' + QByteArray::number(size) + "\r\n";
        } else {
            m_answers << QStringLiteral("200");
            head = "HTTP/1.1 200 OK\r\n";
        }
        head += "Content-Length: " + QByteArray::number(size - from) + "\r\nETag: " + m_etag +
                "\r\nAccept-Ranges: bytes\r\nConnection: close\r\n\r\n";
        m_sent += end - from;
        return head + m_body.mid(from, end - from);
    }

    QByteArray m_body;
    QByteArray m_etag = "\"v1\"";
    QList<qint64> m_cuts;
    std::atomic<bool> m_ranges{true};
    std::atomic<bool> m_wrongRange{false};
    std::atomic<qint64> m_sent{0};
    QStringList m_answers;
    mutable std::mutex m_lock;
    std::unique_ptr<RawHttpServer> m_server;
};

QByteArray someBytes(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = quint32(seed) * 2654435761u + 1;
    for (char &c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

class SuSelfUpdaterResume : public SuSelfUpdater
{
protected:
    void offer(const FileServer &files, const QByteArray &body)
    {
        info = QStringLiteral("#version=2\n#url=%1\n#sha256=%2\n#size=%3\n")
                   .arg(files.url(), sha256(body))
                   .arg(body.size());
    }
    QString part(const QByteArray &body) const { return suPartialDownloadPath(dir.path(), sha256(body)); }
    // Runs one upgrade that the server breaks off.
    void upgradeBrokenOff()
    {
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("windows closed")));
        ASSERT_TRUE(log.contains(QStringLiteral("connection lost"))) << log.join(u'\n').toStdString();
    }
    void upgradeToTheEnd()
    {
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("close"))) << log.join(u'\n').toStdString();
        ASSERT_TRUE(installed());
    }

    const QByteArray body = someBytes(300000, 1);
};

} // namespace

// Cut at two offsets, the download is continued twice from where it
// stopped, fetching each byte once, and the whole is installed.
TEST_F(SuSelfUpdaterResume, ContinuesFromWhereEachCutLeftIt)
{
    FileServer files(body);
    files.cutAt({70000, 150001});
    offer(files, body);
    upgradeBrokenOff();
    EXPECT_EQ(readFile(part(body)), body.left(70000)) << "what arrived is kept";
    EXPECT_EQ(readFile(suResumeValidatorPath(dir.path(), sha256(body))), "\"v1\"");

    upgradeBrokenOff();
    EXPECT_TRUE(log.contains(QStringLiteral("resume:230000"))) << "the bytes still to come";
    EXPECT_EQ(QFileInfo(part(body)).size(), 150001);

    upgradeToTheEnd();
    EXPECT_TRUE(log.contains(QStringLiteral("resume:149999")));
    EXPECT_EQ(files.answers(), QStringList({"200", "206 from 70000", "206 from 150001"}));
    EXPECT_EQ(files.bytesSent(), body.size()) << "only the missing bytes are fetched";
    EXPECT_EQ(readFile(dir.file(QStringLiteral("big.dat"))), body);
    EXPECT_FALSE(QFileInfo::exists(suResumeValidatorPath(dir.path(), sha256(body))));
}

// The file changed on the server (another ETag): If-Range gets the whole
// new file, which starts the download again. A server that ignores ranges
// does the same; one that answers with another part than asked for is not
// believed, and the file starts again. Each time the upgrade ends with the
// signed file.
TEST_F(SuSelfUpdaterResume, AWholeAnswerOrAnotherPartStartsTheFileAgain)
{
    struct Case
    {
        const char *what;
        std::function<void(FileServer &)> change;
        QStringList answers;
    };
    const QList<Case> cases = {
        {"a changed validator", [](FileServer &f) { f.setETag("\"v2\""); }, {"200", "200"}},
        {"ranges ignored", [](FileServer &f) { f.setHonoursRanges(false); }, {"200", "200"}},
        {"another part",
         [](FileServer &f) { f.setWrongContentRange(true); },
         {"200", "206 from 100000", "200"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FileServer files(body);
        files.cutAt({100000});
        offer(files, body);
        upgradeBrokenOff();
        ASSERT_EQ(QFileInfo(part(body)).size(), 100000);
        c.change(files);
        upgradeToTheEnd();
        EXPECT_EQ(files.answers(), c.answers);
        EXPECT_EQ(readFile(dir.file(QStringLiteral("big.dat"))), body);
        EXPECT_EQ(log.filter(QStringLiteral("box:")), QStringList());
        QFile::remove(dir.file(QStringLiteral("big.dat")));
    }
}

// What is continued is checked whole: a part whose bytes were changed on
// disk gives a file that does not match its signed hash, and nothing is
// installed; the part does not stay to be continued again.
TEST_F(SuSelfUpdaterResume, AContinuedFileIsCheckedWhole)
{
    FileServer files(body);
    files.cutAt({120000});
    offer(files, body);
    upgradeBrokenOff();
    QByteArray damaged = readFile(part(body));
    damaged[500] = char(damaged.at(500) ^ 1);
    writeFile(part(body), damaged);
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains("box:" + suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch),
                                                      {QStringLiteral("big.dat")})))
        << log.join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("big.dat"))));
    EXPECT_FALSE(QFileInfo::exists(part(body)));
    EXPECT_FALSE(QFileInfo::exists(suResumeValidatorPath(dir.path(), sha256(body))));
}

// A release that is no longer offered leaves nothing: its part and
// validator go when the next release's download starts.
TEST_F(SuSelfUpdaterResume, PartsOfAReleaseNoLongerOfferedAreRemoved)
{
    FileServer files(body);
    files.cutAt({50000});
    offer(files, body);
    upgradeBrokenOff();
    ASSERT_TRUE(QFileInfo::exists(part(body)));

    const QByteArray next = someBytes(1000, 2);
    FileServer nextFiles(next);
    offer(nextFiles, next);
    upgradeToTheEnd();
    EXPECT_FALSE(QFileInfo::exists(part(body)));
    EXPECT_FALSE(QFileInfo::exists(suResumeValidatorPath(dir.path(), sha256(body))));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("big.dat"))), next);
}
