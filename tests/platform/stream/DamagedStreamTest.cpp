#include "StreamSamples.h"

#include "platform/stream/FormWriter.h"
#include "platform/stream/StreamError.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace platform::stream;
using samples::Bytes;
using samples::Parse;

namespace {

// A buffer that pretends not to know its size, as a pipe or socket does.
class SequentialBuffer : public QBuffer
{
public:
    explicit SequentialBuffer(QByteArray *data) : QBuffer(data) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
};

// A stream whose one property "P" has the given type byte and data.
QByteArray WithValue(const QByteArray &typeAndData)
{
    return QByteArray("TPF0\x02TX\x01X\x01P", 11) + typeAndData + QByteArray(2, '\0');
}

QString ErrorOf(const QByteArray &data)
{
    try {
        Parse(data);
    } catch (const StreamError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(DamagedStream, TruncatedAnywhereIsRefused)
{
    const QByteArray whole = Bytes(samples::EveryKind());
    for (qsizetype n = 0; n < whole.size(); ++n)
        EXPECT_THROW(Parse(whole.left(n)), StreamError) << "cut at " << n;
    // A sequential device runs out in the same places.
    for (qsizetype n = 0; n < whole.size(); n += 7) {
        QByteArray cut = whole.left(n);
        SequentialBuffer device(&cut);
        EXPECT_THROW(ReadFormStream(device), StreamError) << "cut at " << n;
    }
}

TEST(DamagedStream, ForeignDataIsRefused)
{
    EXPECT_TRUE(ErrorOf(QByteArray()).contains(QStringLiteral("签名")));
    EXPECT_TRUE(ErrorOf("TPF1\x02TX\x01X\0\0").contains(QStringLiteral("签名")));
    EXPECT_FALSE(ErrorOf("object NBCOMPONENTSAVEDATA: TnbSideBar\nend\n").isEmpty());
    // Unknown type bytes.
    EXPECT_TRUE(ErrorOf(WithValue("\x16")).contains(QStringLiteral("值类型 22")));
    EXPECT_FALSE(ErrorOf(WithValue("\xFF")).isEmpty());
    // A collection item must open with a list byte.
    EXPECT_FALSE(ErrorOf(WithValue(QByteArray("\x0E\x02\x01\x02", 4))).isEmpty());
    // A component needs a class name.
    EXPECT_FALSE(ErrorOf(QByteArray("TPF0\x00\x00\x00\x00", 8)).isEmpty());
}

TEST(DamagedStream, LengthsPastTheEndAreRefusedBeforeAllocating)
{
    const QByteArray huge("\xFF\xFF\xFF\x7F", 4); // 2^31 - 1
    const QByteArray negative("\x00\x00\x00\x80", 4);
    for (char type : {'\x0A', '\x0C', '\x12', '\x14'}) { // Binary, LString, WString, Utf8String
        const QByteArray data = WithValue(QByteArray(1, type) + huge + "abc");
        EXPECT_TRUE(ErrorOf(data).contains(QStringLiteral("超出了流的末尾"))) << int(type);
        QByteArray copy = data;
        SequentialBuffer device(&copy);
        EXPECT_THROW(ReadFormStream(device), StreamError) << int(type);
        EXPECT_TRUE(ErrorOf(WithValue(QByteArray(1, type) + negative)).contains(QStringLiteral("无效")));
    }
    // A short string whose length byte reaches past the end.
    EXPECT_FALSE(ErrorOf(WithValue("\x06\xFF"
                                   "abc"))
                     .isEmpty());
}

TEST(DamagedStream, NestingIsBounded)
{
    // Thousands of nested lists would otherwise recurse until the stack runs out.
    EXPECT_TRUE(ErrorOf(WithValue(QByteArray(100000, '\x01'))).contains(QStringLiteral("嵌套过深")));
    const QByteArray deepComponents = QByteArray("TPF0") + QByteArray("\x02TX\x00\x00", 5).repeated(5000);
    EXPECT_TRUE(ErrorOf(deepComponents).contains(QStringLiteral("嵌套过深")));

    // Nesting up to the limit is fine.
    FormValue value = FormValue::Integer(1);
    for (int i = 1; i < FormReader::MaxDepth - 1; ++i)
        value = FormValue::List({value});
    FormComponent root;
    root.className = "TX";
    root.properties = {{"P", value}};
    EXPECT_EQ(Parse(Bytes(root)), root);
}

TEST(DamagedStream, WriterRefusesWhatCannotBeReadBack)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    FormWriter writer(buffer);

    FormComponent c;
    c.className = "TX";
    c.properties = {{"", FormValue::Integer(1)}};
    EXPECT_THROW(writer.WriteComponent(c), StreamError);
    c.properties = {{QByteArray(256, 'a'), FormValue::Integer(1)}};
    EXPECT_THROW(writer.WriteComponent(c), StreamError);
    // A Null item would read back as the end of its list.
    c.properties = {{"L", FormValue::List({FormValue::Integer(1), FormValue(), FormValue::Integer(2)})}};
    EXPECT_THROW(writer.WriteComponent(c), StreamError);
    c.properties.clear();
    c.className = QByteArray(240, 'T');
    EXPECT_THROW(writer.WriteComponent(c), StreamError);

    QByteArray fixed;
    QBuffer readOnly(&fixed);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(WriteFormStream(readOnly, samples::EveryKind()), StreamError);
}
