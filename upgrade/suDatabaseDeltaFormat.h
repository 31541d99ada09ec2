#pragma once

// Internal to the database delta: the constants of its layout and the
// little-endian reading and writing of its fields (see suDatabaseDelta.h).

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>

namespace sudelta {

inline const QByteArray kMagic = QByteArrayLiteral("VDBDELTA");
inline constexpr quint32 kFormat = 1;
inline constexpr qint64 kHeaderSize = 64;
// A page split in two takes its rows from more than one old page.
inline constexpr int kMaxPrefixPages = 4;
// Pages handled at a time, on both sides: 16 MB of 64 KB pages, enough
// work for every core between two writes.
inline constexpr qint64 kBatchPages = 256;

// Reads fields in order; once a read falls short every later one gives 0
// and ok() is false.
class Reader
{
public:
    explicit Reader(QIODevice &device) : m_device(device) {}

    bool ok() const { return m_ok; }
    qint64 position() const { return m_device.pos(); }

    QByteArray bytes(qint64 count)
    {
        if (!m_ok || count < 0)
            return fail();
        QByteArray out = m_device.read(count);
        if (out.size() != count)
            return fail();
        return out;
    }
    bool skip(qint64 count)
    {
        if (m_ok && (count < 0 || !m_device.seek(m_device.pos() + count) || m_device.pos() > m_device.size()))
            m_ok = false;
        return m_ok;
    }
    quint8 u8() { return quint8(value(1)); }
    quint32 u32() { return quint32(value(4)); }
    quint64 u64() { return value(8); }

private:
    QByteArray fail()
    {
        m_ok = false;
        return {};
    }
    quint64 value(int size)
    {
        const QByteArray raw = bytes(size);
        if (raw.size() != size)
            return 0;
        quint64 out = 0;
        for (int i = size - 1; i >= 0; --i)
            out = (out << 8) | quint8(raw[i]);
        return out;
    }

    QIODevice &m_device;
    bool m_ok = true;
};

inline void putU8(QByteArray &out, quint8 value)
{
    out += char(value);
}
inline void putU32(QByteArray &out, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    out.append(raw, 4);
}
inline void putU64(QByteArray &out, quint64 value)
{
    char raw[8];
    qToLittleEndian(value, raw);
    out.append(raw, 8);
}

} // namespace sudelta
