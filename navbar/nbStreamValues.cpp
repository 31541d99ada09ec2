#include "navbar/nbStreamSchema.h"

#include "platform/ui/ColorNames.h"

#include <QBuffer>
#include <array>

namespace nbstream {

void UnknownProperty(const QByteArray &path)
{
    throw StreamError(QStringLiteral("组件流中的属性 %1 不存在").arg(QString::fromLatin1(path)));
}

void InvalidValue(const QByteArray &path)
{
    throw StreamError(QStringLiteral("组件流中属性 %1 的值无效").arg(QString::fromLatin1(path)));
}

void MissingMethod(const QByteArray &name, const QByteArray &path)
{
    throw StreamError(QStringLiteral("组件流中属性 %1 引用的事件处理方法 %2 不存在")
                          .arg(QString::fromLatin1(path), QString::fromLatin1(name)));
}

qint64 IntegerIn(const FormValue &value, qint64 lo, qint64 hi, const QByteArray &path)
{
    if (!value.IsInteger() || value.ToInteger() < lo || value.ToInteger() > hi)
        InvalidValue(path);
    return value.ToInteger();
}

FormValue ColorValue(TColor color)
{
    const QByteArray name = platform::ColorToIdent(color);
    if (!name.isEmpty())
        return FormValue::Ident(name);
    // Colours are 32-bit signed integers in the stream (system colours are negative).
    return FormValue::Integer(qint32(color));
}

TColor ColorFrom(const FormValue &value, const QByteArray &path)
{
    if (value.Type() == ValueType::Ident) {
        if (const std::optional<TColor> color = platform::IdentToColor(value.Bytes()))
            return *color;
        InvalidValue(path);
    }
    return TColor(std::uint32_t(IntegerIn(value, std::numeric_limits<qint32>::min(),
                                          std::numeric_limits<std::uint32_t>::max(), path)));
}

bool BooleanFrom(const FormValue &value, const QByteArray &path)
{
    if (!value.IsBoolean())
        InvalidValue(path);
    return value.ToBoolean();
}

QString TextFrom(const FormValue &value, const QByteArray &path)
{
    if (!value.IsText())
        InvalidValue(path);
    return value.ToText();
}

int EnumFrom(const FormValue &value, std::span<const char *const> names, const QByteArray &path)
{
    if (value.Type() == ValueType::Ident)
        for (std::size_t i = 0; i < names.size(); ++i)
            if (value.Bytes().compare(names[i], Qt::CaseInsensitive) == 0)
                return int(i);
    InvalidValue(path);
}

FormValue SetValue(std::uint32_t bits, std::span<const char *const> names)
{
    QList<QByteArray> members;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (bits & (std::uint32_t(1) << i))
            members.append(QByteArray(names[i]));
    return FormValue::Set(members);
}

std::uint32_t SetFrom(const FormValue &value, std::span<const char *const> names, const QByteArray &path)
{
    if (value.Type() != ValueType::Set)
        InvalidValue(path);
    std::uint32_t bits = 0;
    for (const QByteArray &member : value.Members()) {
        std::size_t i = 0;
        while (i < names.size() && member.compare(names[i], Qt::CaseInsensitive) != 0)
            ++i;
        if (i == names.size())
            InvalidValue(path);
        bits |= std::uint32_t(1) << i;
    }
    return bits;
}

QByteArray PictureData(const QImage &image)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    QByteArray data(4, '\0');
    const auto size = std::uint32_t(file.size());
    for (int i = 0; i < 4; ++i)
        data[i] = char((size >> (8 * i)) & 0xFF);
    return data + file;
}

QImage PictureFrom(const FormValue &value, const QByteArray &path)
{
    if (value.Type() != ValueType::Binary || value.Bytes().size() < 4)
        InvalidValue(path);
    const QByteArray &data = value.Bytes();
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
        size = (size << 8) | static_cast<unsigned char>(data[i]);
    if (size > std::uint32_t(data.size() - 4))
        InvalidValue(path);
    if (size == 0)
        return QImage();
    QImage image;
    if (!image.loadFromData(data.mid(4, qsizetype(size)), "BMP"))
        InvalidValue(path);
    return image;
}

// ---- Fonts and pens ------------------------------------------------------------------

namespace {

struct NamedValue
{
    int value;
    const char *name;
};

constexpr std::array<NamedValue, 19> CharsetNames{{
    {0, "ANSI_CHARSET"},      {1, "DEFAULT_CHARSET"},    {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},      {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},   {134, "GB2312_CHARSET"},   {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},   {162, "TURKISH_CHARSET"},  {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},  {178, "ARABIC_CHARSET"},   {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},     {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
}};

constexpr const char *FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr const char *FontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char *PenModeNames[] = {"pmBlack",       "pmWhite",      "pmNop",         "pmNot",
                                        "pmCopy",        "pmNotCopy",    "pmMergePenNot", "pmMaskPenNot",
                                        "pmMergeNotPen", "pmMaskNotPen", "pmMerge",       "pmNotMerge",
                                        "pmMask",        "pmNotMask",    "pmXor",         "pmNotXor"};
constexpr const char *PenStyleNames[] = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                         "psDashDotDot", "psClear", "psInsideFrame"};

FormValue CharsetValue(int charset)
{
    for (const NamedValue &entry : CharsetNames)
        if (entry.value == charset)
            return FormValue::Ident(entry.name);
    return FormValue::Integer(charset);
}

int CharsetFrom(const FormValue &value, const QByteArray &path)
{
    if (value.Type() == ValueType::Ident) {
        for (const NamedValue &entry : CharsetNames)
            if (value.Bytes().compare(entry.name, Qt::CaseInsensitive) == 0)
                return entry.value;
        InvalidValue(path);
    }
    return int(IntegerIn(value, 0, 255, path));
}

} // namespace

void WriteFont(const platform::Font &font, const QByteArray &prefix, PropertyList &out)
{
    Put(out, prefix + "Charset", CharsetValue(font.charset()));
    Put(out, prefix + "Color", ColorValue(font.color()));
    Put(out, prefix + "Height", FormValue::Integer(font.height()));
    Put(out, prefix + "Name", FormValue::Text(font.name()));
    Put(out, prefix + "Style", SetValue(font.style(), FontStyleNames));
}

void ReadFont(platform::Font &font, const QByteArray &rest, const FormValue &value, const QByteArray &path)
{
    const auto is = [&rest](const char *name) { return rest.compare(name, Qt::CaseInsensitive) == 0; };
    if (is("Charset"))
        font.setCharset(CharsetFrom(value, path));
    else if (is("Color"))
        font.setColor(ColorFrom(value, path));
    else if (is("Height"))
        font.setHeight(int(IntegerIn(value, -32768, 32767, path)));
    else if (is("Size"))
        font.setSize(int(IntegerIn(value, -32768, 32767, path)));
    else if (is("Name"))
        font.setName(TextFrom(value, path));
    else if (is("Style"))
        font.setStyle(SetFrom(value, FontStyleNames, path));
    else if (is("Pitch"))
        EnumFrom(value, FontPitchNames, path); // accepted; fonts here have no pitch of their own
    else
        UnknownProperty(path);
}

void WritePen(const platform::Pen &pen, const QByteArray &prefix, PropertyList &out)
{
    const platform::Pen standard;
    if (pen.color() != standard.color())
        Put(out, prefix + "Color", ColorValue(pen.color()));
    if (pen.mode() != standard.mode())
        Put(out, prefix + "Mode", FormValue::Ident(PenModeNames[int(pen.mode())]));
    if (pen.style() != standard.style())
        Put(out, prefix + "Style", FormValue::Ident(PenStyleNames[int(pen.style())]));
    if (pen.width() != standard.width())
        Put(out, prefix + "Width", FormValue::Integer(pen.width()));
}

void ReadPen(platform::Pen &pen, const QByteArray &rest, const FormValue &value, const QByteArray &path)
{
    const auto is = [&rest](const char *name) { return rest.compare(name, Qt::CaseInsensitive) == 0; };
    if (is("Color"))
        pen.setColor(ColorFrom(value, path));
    else if (is("Mode"))
        pen.setMode(platform::Pen::Mode(EnumFrom(value, PenModeNames, path)));
    else if (is("Style"))
        pen.setStyle(platform::Pen::Style(EnumFrom(value, PenStyleNames, path)));
    else if (is("Width"))
        pen.setWidth(int(IntegerIn(value, 0, std::numeric_limits<qint32>::max(), path)));
    else
        UnknownProperty(path);
}

} // namespace nbstream
