#pragma once

#include "platform/stream/FormReader.h"
#include "platform/stream/FormValue.h"

#include <QBuffer>
#include <limits>

namespace samples {

using namespace platform::stream;

inline QByteArray Bytes(const FormComponent &root)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    WriteFormStream(buffer, root);
    return data;
}

inline FormComponent Parse(const QByteArray &data)
{
    QBuffer buffer(const_cast<QByteArray *>(&data));
    buffer.open(QIODevice::ReadOnly);
    return ReadFormStream(buffer);
}

inline CollectionItem Item(PropertyList properties, std::optional<FormValue> order = {})
{
    return CollectionItem{std::move(order), std::move(properties)};
}

// A component with a value of every kind, integers at the edges of their widths, texts
// of every kind (Chinese included), nested lists and collections and owned components
// with every prefix.
inline FormComponent EveryKind()
{
    FormComponent root;
    root.className = "TnbSideBar";
    root.name = "NBCOMPONENTSAVEDATA";
    root.properties = {
        {"Null", FormValue()},
        {"Int8", FormValue::Integer(-128)},
        {"Int16", FormValue::Integer(32767)},
        {"Int32", FormValue::Integer(std::numeric_limits<qint32>::min())},
        {"Int64", FormValue::Integer(std::numeric_limits<qint64>::max())},
        {"Extended", FormValue::Float(-1234.5625)},
        {"Single", FormValue::Float(0.15625, ValueType::Single)},
        {"Double", FormValue::Float(1e300, ValueType::Double)},
        {"Date", FormValue::Float(45000.75, ValueType::Date)},
        {"Currency", FormValue::Currency(-123456789)},
        {"String", FormValue::Text(QStringLiteral("Kestrune"))},
        {"GbString", FormValue::Text(QStringLiteral("免费加入"), ValueType::String)},
        {"LString", FormValue::Text(QString(300, QLatin1Char('x')))},
        {"WString", FormValue::Text(QStringLiteral("诚招代理 & 广告征订"))},
        {"Utf8String", FormValue::Text(QStringLiteral("商务助手"), ValueType::Utf8String)},
        {"Ident", FormValue::Ident("alLeft")},
        {"False", FormValue::Boolean(false)},
        {"True", FormValue::Boolean(true)},
        {"Binary", FormValue::Binary(QByteArray("\x00\x01\xFF\x80", 4))},
        {"EmptyBinary", FormValue::Binary(QByteArray())},
        {"Set", FormValue::Set({"boAcceptOLEDrop", "boAutoScroll"})},
        {"EmptySet", FormValue::Set({})},
        {"Nil", FormValue::Nil()},
        {"List", FormValue::List({FormValue::Integer(1), FormValue::Text(QStringLiteral("x")),
                                  FormValue::List({FormValue::Ident("inner")})})},
        {"Headers",
         FormValue::Collection({
             Item({{"Caption", FormValue::Text(QStringLiteral("Kestrune"))},
                   {"Buttons",
                    FormValue::Collection(
                        {Item({{"Caption", FormValue::Text(QStringLiteral("手机查询"))}}), Item({})})}}),
             Item({{"Tag", FormValue::Integer(7)}}, FormValue::Integer(3, ValueType::Int16)),
         })},
        {"Settings.ButtonUp.Gradient.BeginColor", FormValue::Ident("clBtnFace")},
    };
    FormComponent inherited;
    inherited.flags = FormComponent::Inherited;
    inherited.className = "TnbHeader";
    inherited.name = "Inherited1";
    FormComponent positioned;
    positioned.flags = FormComponent::ChildPosition | FormComponent::Inline;
    positioned.position = FormValue::Integer(5);
    positioned.className = "TnbButton";
    positioned.properties = {{"Tag", FormValue::Integer(1)}};
    positioned.children = {inherited};
    root.children = {inherited, positioned};
    return root;
}

} // namespace samples
