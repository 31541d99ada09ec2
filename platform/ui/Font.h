#pragma once

#include "platform/ui/Colors.h"

#include <QFont>
#include <QString>

namespace platform {

// A font as a value: name, size in points, colour, style and character set. The default
// is the framework's standard font ("MS Sans Serif", 8 points, window-text colour).
class Font
{
public:
    enum Style : unsigned { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

    // The character set value meaning "whatever the system uses".
    static constexpr int DefaultCharset = 1;
    // Screen resolution used to turn points into pixels.
    static constexpr int PixelsPerInch = 96;

    Font() = default;
    Font(const QString &name, int size, TColor color = clWindowText, unsigned style = 0)
        : m_name(name), m_size(size), m_color(color), m_style(style)
    {
    }

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    // Size in points.
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }
    // Character height in pixels, negative as the framework gives it (-11 for 8 points).
    int height() const;
    void setHeight(int height);
    TColor color() const { return m_color; }
    void setColor(TColor color) { m_color = color; }
    // A combination of Style flags.
    unsigned style() const { return m_style; }
    void setStyle(unsigned style) { m_style = style; }
    bool hasStyle(Style s) const { return (m_style & s) != 0; }
    int charset() const { return m_charset; }
    void setCharset(int charset) { m_charset = charset; }

    // The Qt font to draw with (family, pixel size, weight, italic, underline, strike-out).
    QFont toQFont() const;

    friend bool operator==(const Font &, const Font &) = default;

private:
    QString m_name = QStringLiteral("MS Sans Serif");
    int m_size = 8;
    TColor m_color = clWindowText;
    unsigned m_style = 0;
    int m_charset = DefaultCharset;
};

} // namespace platform
