#include "resources/AppIcon.h"
#include "resources/Glyphs.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

// picture_sheet OUT.png: every picture at its natural size, the side bar images on
// the bar's face, each glyph at the sizes its buttons show it (with the caption
// beneath, as on the button) and the program's icon in all its sizes.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_sheet OUT.png\n");
        return 2;
    }
    using resources::Glyph;
    using resources::Picture;
    QImage sheet(1320, 1120, QImage::Format_RGB32);
    sheet.fill(QColor(212, 208, 200));
    QPainter p(&sheet);
    QFont caption(QStringLiteral("WenQuanYi Micro Hei"));
    caption.setPixelSize(12);
    p.setFont(caption);

    p.drawImage(10, 10, resources::picture(Picture::TitleStrip));
    p.drawImage(10, 31, resources::picture(Picture::Background));
    p.drawImage(18, 32, resources::picture(Picture::Logo));
    p.drawImage(226, 35, resources::picture(Picture::Banner));
    p.drawImage(820, 10, resources::picture(Picture::Splash));
    int x = 820;
    for (Picture which : {Picture::About, Picture::Agent}) {
        p.drawImage(x, 354, resources::picture(which));
        x += resources::picture(which).width() + 10;
    }
    p.drawImage(820, 544, resources::picture(Picture::Advert));
    p.drawImage(1030, 544, resources::picture(Picture::Join));

    // The side bar's face with its seven large buttons.
    p.fillRect(QRect(10, 620, 120, 490), QColor(212, 208, 200));
    const char *labels[] = {"Velmora",  "免费加入", "诚招代理", "广告征订",
                            "商务助手", "手机查询", "地区查询"};
    for (int i = 0; i < 7; ++i) {
        const QRect button(20, 630 + i * 68, 100, 60);
        p.drawImage(button.center().x() - 16, button.top() + 6, resources::barImage(i));
        p.drawText(QRect(button.left(), button.top() + 40, 100, 18), Qt::AlignCenter,
                   QString::fromUtf8(labels[i]));
    }

    // Glyphs on flat buttons of the sizes their windows give them.
    struct Shown
    {
        Glyph glyph;
        int size;
        const char *caption;
        QSize button;
    };
    const Shown shown[] = {
        {Glyph::Exit, 24, "退 出", {65, 49}},
        {Glyph::Exit, 32, "退 出", {65, 49}},
        {Glyph::Upgrade, 32, "在线升级", {161, 65}},
        {Glyph::Lookup, 16, "查找", {75, 24}},
        {Glyph::Hotel, 48, "酒店预订", {121, 97}},
        {Glyph::Translation, 48, "商务翻译", {121, 97}},
        {Glyph::Purchase, 48, "在线采购", {121, 97}},
        {Glyph::Modeling, 48, "产品建模", {121, 97}},
        {Glyph::Multimedia, 48, "企业多媒体", {121, 97}},
        {Glyph::Sample, 48, "电子样本", {121, 97}},
        {Glyph::SiteBuild, 48, "网站建设", {121, 97}},
        {Glyph::SitePromote, 48, "网站推广", {121, 97}},
    };
    int gx = 150, gy = 620;
    for (const Shown &s : shown) {
        if (gx + s.button.width() > 810) {
            gx = 150;
            gy += 107;
        }
        const QRect button(QPoint(gx, gy), s.button);
        p.fillRect(button, QColor(241, 241, 241));
        const bool beside = s.button.height() < 40;
        if (beside) {
            p.drawPixmap(button.left() + 8, button.center().y() - s.size / 2,
                         resources::glyph(s.glyph, s.size));
            p.drawText(button.adjusted(28, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       QString::fromUtf8(s.caption));
        } else {
            const int top = button.top() + (button.height() - s.size - 18) / 2;
            p.drawPixmap(button.center().x() - s.size / 2, top, resources::glyph(s.glyph, s.size));
            p.drawText(QRect(button.left(), top + s.size + 2, button.width(), 16), Qt::AlignCenter,
                       QString::fromUtf8(s.caption));
        }
        gx += s.button.width() + 10;
    }

    // Every other glyph at 16 pixels, then the icon.
    gx = 150;
    gy += 107;
    for (int g = 0; g <= int(Glyph::SitePromote); ++g) {
        p.fillRect(QRect(gx, gy, 24, 24), QColor(241, 241, 241));
        p.drawPixmap(gx + 4, gy + 4, resources::glyph(Glyph(g), 16));
        gx += 28;
    }
    gy += 34;
    gx = 150;
    const QIcon icon = resources::applicationIcon();
    for (int size : {16, 32, 48, 64, 128}) {
        p.drawPixmap(gx, gy, icon.pixmap(size, size));
        gx += size + 12;
    }
    p.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
