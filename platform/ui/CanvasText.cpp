// Text output: DrawText with its formats, prefix underlines, word breaks and ellipses.

#include "platform/ui/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace platform {

namespace {

// Text is drawn without antialiasing so that it consists of whole pixels.
QFont DrawingFont(const Font &font)
{
    QFont f = font.toQFont();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

struct TextLine
{
    QString text;
    int underline = -1; // index of the accelerator character in `text`
};

// Removes the "&" markers: "&&" stands for "&", "&x" underlines x. Returns the index of
// the underlined character in the result, or -1.
QString StripPrefix(const QString &text, int &underline)
{
    underline = -1;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;
        ++i;
        if (text[i] != u'&')
            underline = int(out.size());
        out += text[i];
    }
    return out;
}

QString ExpandTabs(const QString &text)
{
    QString out;
    int column = 0;
    for (QChar c : text) {
        if (c == u'\t') {
            const int spaces = 8 - column % 8;
            out += QString(spaces, u' ');
            column += spaces;
        } else {
            out += c;
            column = (c == u'\n' || c == u'\r') ? 0 : column + 1;
        }
    }
    return out;
}

// A character after which a line may break: a space, or any ideograph (Chinese text has
// no spaces between words).
bool IsBreakable(QChar c)
{
    return c == u' ' || c.unicode() >= 0x2E80;
}

// Splits one paragraph into lines no wider than `width`, breaking after spaces and
// ideographs; a word longer than the width stays whole on its own line.
void WrapParagraph(const QString &text, int underline, int width, const QFontMetrics &fm,
                   std::vector<TextLine> &lines)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        qsizetype lastBreak = -1;
        while (end < text.size()) {
            if (fm.horizontalAdvance(text.mid(start, end - start + 1)) > width && end > start)
                break;
            if (IsBreakable(text[end]))
                lastBreak = end;
            ++end;
        }
        qsizetype cut = end;
        if (end < text.size()) {
            if (lastBreak >= start)
                cut = lastBreak + 1;
            else // no break point: the word runs on to its end
                while (cut < text.size() && !IsBreakable(text[cut]))
                    ++cut;
        }
        TextLine line;
        line.text = text.mid(start, cut - start);
        // A space at a break is not drawn.
        while (line.text.endsWith(u' ') && cut < text.size())
            line.text.chop(1);
        if (underline >= start && underline < start + line.text.size())
            line.underline = int(underline - start);
        lines.push_back(line);
        start = cut;
        while (start < text.size() && text[start] == u' ')
            ++start;
    }
    if (text.isEmpty())
        lines.push_back({});
}

} // namespace

QSize Canvas::TextExtent(const QString &text) const
{
    const QFontMetrics fm(DrawingFont(m_font));
    return QSize(fm.horizontalAdvance(text), fm.height());
}

void Canvas::DrawTextLine(const QString &line, int x, int y, int underline, const QRegion &clip, bool rtl)
{
    const QFont qf = DrawingFont(m_font);
    const QFontMetrics fm(qf);
    QPainter p(m_image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setClipRegion(clip);
    const int w = fm.horizontalAdvance(line);
    if (m_brushStyle == BrushStyle::Solid)
        p.fillRect(QRect(x, y, w, fm.height()), QColor::fromRgb(PixelOf(m_brushColor)));
    p.setFont(qf);
    p.setPen(QColor::fromRgb(PixelOf(m_font.color())));
    if (rtl) {
        // Right-to-left reading order within the line's own box.
        p.setLayoutDirection(Qt::RightToLeft);
        p.drawText(QRect(x, y, w, fm.height()), int(Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignTop), line);
        return;
    }
    p.drawText(QPoint(x, y + fm.ascent()), line);
    if (underline >= 0 && underline < line.size()) {
        const int ux = x + fm.horizontalAdvance(line.left(underline));
        const int uw = fm.horizontalAdvance(line.at(underline));
        const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
        p.fillRect(QRect(ux, uy, uw, 1), QColor::fromRgb(PixelOf(m_font.color())));
    }
}

void Canvas::TextOut(int x, int y, const QString &text)
{
    QRegion clip(0, 0, Width(), Height());
    if (m_clipped)
        clip &= m_clip;
    DrawTextLine(text, x, y, -1, clip, false);
}

int Canvas::DrawText(const QString &text, Rect &r, unsigned format)
{
    const QFontMetrics fm(DrawingFont(m_font));
    const int lineHeight = fm.height();

    QString source = (format & DT_EXPANDTABS) ? ExpandTabs(text) : text;
    int underline = -1;
    if (!(format & DT_NOPREFIX))
        source = StripPrefix(source, underline);

    // Paragraphs: one line with DT_SINGLELINE (breaks drawn as spaces), else split at
    // line breaks, then wrapped with DT_WORDBREAK.
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        QString one = source;
        one.replace(u'\r', u' ').replace(u'\n', u' ');
        lines.push_back({one, underline});
    } else {
        qsizetype start = 0;
        while (true) {
            qsizetype end = start;
            while (end < source.size() && source[end] != u'\r' && source[end] != u'\n')
                ++end;
            const QString paragraph = source.mid(start, end - start);
            const int u = underline >= start && underline < end ? int(underline - start) : -1;
            if (format & DT_WORDBREAK)
                WrapParagraph(paragraph, u, r.Width(), fm, lines);
            else
                lines.push_back({paragraph, u});
            if (end >= source.size())
                break;
            if (source[end] == u'\r' && end + 1 < source.size() && source[end + 1] == u'\n')
                ++end;
            start = end + 1;
        }
    }

    int maxWidth = 0;
    for (const TextLine &line : lines)
        maxWidth = std::max(maxWidth, fm.horizontalAdvance(line.text));
    const int height = int(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        r.Right = r.Left + maxWidth;
        r.Bottom = r.Top + height;
        return height;
    }

    int y = r.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r.Top + (r.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }

    QRegion clip(0, 0, Width(), Height());
    if (m_clipped)
        clip &= m_clip;
    if (!(format & DT_NOCLIP))
        clip &= QRegion(r.ToQRect());

    const bool rtl = (format & DT_RTLREADING) != 0;
    for (TextLine line : lines) {
        if ((format & DT_END_ELLIPSIS) && fm.horizontalAdvance(line.text) > r.Width()) {
            const QString dots = QStringLiteral("...");
            while (!line.text.isEmpty() && fm.horizontalAdvance(line.text + dots) > r.Width())
                line.text.chop(1);
            if (line.underline >= line.text.size())
                line.underline = -1;
            line.text += dots;
        }
        const int w = fm.horizontalAdvance(line.text);
        int x = r.Left;
        if (format & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = r.Right - w;
        DrawTextLine(line.text, x, y, line.underline, clip, rtl);
        y += lineHeight;
    }
    return height;
}

} // namespace platform
