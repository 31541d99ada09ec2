// nb_gallery [folder]: renders the side bar in representative configurations to PNG
// files (default folder ./gallery) and puts them side by side on contact sheets.

#include "navbar/nbSideBar.h"
#include "platform/ui/FontSubstitution.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

// A small set of icons: coloured shapes on a transparent ground.
std::unique_ptr<ImageList> MakeIcons(int size)
{
    auto list = std::make_unique<ImageList>(size, size);
    const QColor colors[] = {QColor(30, 90, 200),  QColor(200, 60, 40),  QColor(40, 150, 60),
                             QColor(220, 170, 20), QColor(130, 60, 170), QColor(20, 150, 160)};
    for (int i = 0; i < 6; ++i) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setPen(QColor(0, 0, 0));
        p.setBrush(colors[i]);
        const int m = size / 8;
        if (i % 2 == 0)
            p.drawEllipse(m, m, size - 2 * m - 1, size - 2 * m - 1);
        else
            p.drawRect(m, m, size - 2 * m - 1, size - 2 * m - 1);
        p.end();
        list->Add(image);
    }
    return list;
}

struct Shot
{
    QString name;
    QImage image;
};

class Gallery
{
public:
    Gallery() : large(MakeIcons(32)), small(MakeIcons(16)), captions(MakeIcons(16)) {}

    // A bar with `headers` headers of `buttons` buttons each, captions "Mail", "Notes"….
    std::unique_ptr<TnbSideBar> Bar(int headers, int buttons, int width = 120, int height = 360)
    {
        auto bar = std::make_unique<TnbSideBar>();
        bar->resize(width, height);
        static const char *const names[] = {"&Mail", "&Calendar", "&Notes", "&Tasks", "&Journal"};
        static const char *const labels[] = {"Inbox",  "Outbox",   "Sent Items",
                                             "Drafts", "Contacts", "Archive"};
        for (int h = 0; h < headers; ++h) {
            TnbHeader *header = bar->AddHeader();
            header->SetCaption(QString::fromLatin1(names[h % 5]));
            header->Images()->SetNormal(large.get());
            header->Images()->SetSmall(small.get());
            for (int b = 0; b < buttons; ++b) {
                TnbButton *button = header->AddButton();
                button->SetCaption(QString::fromLatin1(labels[b % 6]));
                button->SetHeight(70);
                button->SetImageIndex(b % 6);
            }
        }
        bar->HeaderImages()->SetNormal(captions.get());
        return bar;
    }

    void Take(const QString &name, TnbSideBar &bar)
    {
        // A first paint lays the bar out (button-scroll arrows use the last layout).
        bar.PaintImage();
        shots.push_back({name, bar.PaintImage()});
    }

    std::unique_ptr<ImageList> large;
    std::unique_ptr<ImageList> small;
    std::unique_ptr<ImageList> captions;
    std::vector<Shot> shots;
};

void SaveSheet(const std::vector<Shot> &shots, std::size_t from, std::size_t to, const QString &path)
{
    int width = 10;
    int height = 0;
    for (std::size_t i = from; i < to; ++i) {
        width += shots[i].image.width() + 10;
        height = std::max(height, shots[i].image.height());
    }
    QImage sheet(width, height + 40, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter p(&sheet);
    int x = 10;
    for (std::size_t i = from; i < to; ++i) {
        p.drawImage(x, 30, shots[i].image);
        p.setPen(Qt::black);
        p.drawText(QRect(x, 4, shots[i].image.width(), 22),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, shots[i].name);
        x += shots[i].image.width() + 10;
    }
    p.end();
    sheet.save(path);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    QDir().mkpath(folder);

    Gallery g;

    // ---- Outlook-like layout ----
    {
        auto bar = g.Bar(3, 3);
        bar->SetActiveHeader(bar->Header(1));
        g.Take("outlook-middle-active", *bar);
    }
    {
        auto bar = g.Bar(3, 6, 120, 300);
        bar->SetActiveHeader(bar->Header(0));
        bar->Header(0)->SetTopIndex(1);
        g.Take("outlook-scroll-arrows", *bar);
        bar->SetScrollView(ssExpress);
        g.Take("outlook-scroll-express", *bar);
        bar->SetScrollView(ssToolBox);
        g.Take("outlook-scroll-toolbox", *bar);
    }
    {
        auto bar = g.Bar(3, 3);
        bar->SetActiveHeader(bar->Header(0));
        bar->SetFlat(false);
        bar->Header(1)->SetItemState(bstHot);
        bar->Header(2)->SetEnabled(false);
        bar->Header(0)->Button(0)->SetItemState(bstHot);
        bar->Header(0)->Button(1)->SetItemState(bstDown);
        bar->Header(0)->Button(2)->SetEnabled(false);
        g.Take("outlook-raised-hot-down-disabled", *bar);
    }
    {
        auto bar = g.Bar(3, 3);
        bar->CloseButton()->SetVisible(true);
        bar->CloseButton()->SetCaption("Favorites");
        bar->SetActiveHeader(bar->Header(2));
        bar->CloseButton()->State = 2;
        g.Take("close-strip-hot", *bar);
        bar->CloseButton()->SetCaption("A caption reaching the box");
        g.Take("close-strip-long-caption", *bar);
    }
    {
        auto bar = g.Bar(3, 3);
        bar->SetActiveHeader(bar->Header(0));
        bar->Settings()->SetCaptionStyle(csCustomDraw);
        bar->Settings()->ButtonUp()->SetStyle(btGradient);
        bar->Settings()->ButtonUp()->Gradient()->SetBeginColor(RGB(240, 240, 255));
        bar->Settings()->ButtonUp()->Gradient()->SetEndColor(RGB(150, 170, 220));
        bar->Settings()->ButtonUp()->Gradient()->SetDrawStyle(gtTopToBottom);
        bar->Settings()->SetCaptionPen(Pen(RGB(60, 80, 140), 1));
        bar->Header(1)->SetImageIndex(1);
        bar->Header(2)->SetImageIndex(2);
        bar->Header(0)->SetImageIndex(0);
        bar->SetAlertButton(bar->Header(1)->Button(1));
        bar->Header(1)->Button(1)->SetAlertPhase(true);
        g.Take("custom-draw-captions-alert", *bar);
    }

    // ---- Explorer layout ----
    {
        auto bar = g.Bar(3, 2, 160, 400);
        bar->SetViewStyle(vsExplorerBar);
        bar->Background()->SetStyle(btGradient);
        bar->Background()->Gradient()->SetBeginColor(RGB(120, 140, 220));
        bar->Background()->Gradient()->SetEndColor(RGB(200, 210, 250));
        bar->Background()->Gradient()->SetDrawStyle(gtTopToBottom);
        for (int i = 0; i < 3; ++i) {
            TnbHeader *h = bar->Header(i);
            h->SetOptions(h->Options().Include(hoRoundedHeader).Include(hoDrawBorder));
            h->Background()->SetColor(RGB(214, 223, 247));
            h->SetImageIndex(i);
        }
        bar->Settings()->SetButtonStyle(bsSmall);
        bar->Settings()->SetButtonView(bvExplorer);
        bar->Settings()->SetCaptionStyle(csCustomDraw);
        bar->Settings()->ButtonUp()->SetColor(RGB(255, 255, 255));
        bar->Settings()->SetCaptionPen(Pen(RGB(255, 255, 255), 1));
        bar->Settings()->SetHeaderPen(Pen(RGB(255, 255, 255), 1));
        bar->Settings()->SetAlignment(taLeftJustify);
        bar->Header(1)->SetOpened(false);
        bar->Header(0)->Button(1)->SetItemState(bstHot);
        g.Take("explorer-custom-draw", *bar);
        bar->Settings()->SetCaptionStyle(csButtonStyle);
        g.Take("explorer-button-style", *bar);
    }
    {
        auto bar = g.Bar(4, 4, 160, 260);
        bar->SetViewStyle(vsExplorerBar);
        bar->Settings()->SetButtonStyle(bsSmall);
        g.Take("explorer-more-below", *bar);
        bar->ScrollViewDown();
        g.Take("explorer-scrolled", *bar);
    }

    // ---- Button views, styles and kinds ----
    static const char *const views[] = {"bvBig",     "bvExplorer",    "bvNormal",
                                        "bvToolBox", "bvWindows2000", "bvWindowsXP"};
    for (int style = 0; style < 2; ++style)
        for (int v = 0; v <= bvWindowsXP; ++v) {
            auto bar = g.Bar(2, 3, 120, 300);
            bar->SetActiveHeader(bar->Header(0));
            bar->Settings()->SetButtonView(TnbButtonView(v));
            bar->Settings()->SetButtonStyle(style == 0 ? bsLarge : bsSmall);
            bar->Header(0)->Button(0)->SetItemState(bstHot);
            bar->Header(0)->Button(1)->SetItemState(bstDown);
            bar->Header(0)->Button(2)->SetEnabled(false);
            g.Take(QStringLiteral("%1-%2").arg(style == 0 ? "large" : "small", views[v]), *bar);
        }
    {
        auto bar = g.Bar(2, 0, 140, 300);
        bar->SetActiveHeader(bar->Header(0));
        TnbHeader *h = bar->Header(0);
        h->Background()->SetColor(clWhite);
        static const char *const kinds[] = {"Button",      "Label",     "Check box",
                                            "Push button", "Radio one", "Radio two"};
        const TnbButtonKind kind[] = {bkButton,     bkLabel,       bkCheckBox,
                                      bkPushButton, bkRadioButton, bkRadioButton};
        for (int i = 0; i < 6; ++i) {
            TnbButton *b = h->AddButton();
            b->SetCaption(QString::fromLatin1(kinds[i]));
            b->SetButtonKind(kind[i]);
            b->SetImageIndex(i);
            b->SetHeight(kind[i] == bkButton ? 60 : 20);
        }
        h->Button(2)->SetChecked(true);
        h->Button(3)->SetChecked(true);
        h->Button(4)->SetChecked(true);
        g.Take("button-kinds", *bar);
        h->SetAllowSelected(true);
        h->SetSelectedIndex(0);
        g.Take("button-selected", *bar);
    }

    // ---- Gradient shapes ----
    static const char *const shapes[] = {
        "CornerTopLeft",    "CornerTopRight",     "CornerBottomRight", "CornerBottomLeft",
        "DiagonalRising",   "DiagonalFalling",    "Ellipse",           "Pyramid",
        "VerticalToCenter", "HorizontalToCenter", "LeftToRight",       "TopToBottom"};
    const std::size_t gradientsFrom = g.shots.size();
    for (int s = 0; s <= gtTopToBottom; ++s) {
        auto bar = g.Bar(2, 2, 120, 240);
        bar->SetActiveHeader(bar->Header(0));
        TnbBackground *bg = bar->Header(0)->Background();
        bg->SetStyle(btGradient);
        bg->Gradient()->SetBeginColor(RGB(0, 0, 0));
        bg->Gradient()->SetEndColor(RGB(255, 255, 255));
        bg->Gradient()->SetDrawStyle(TnbGradientStyle(s));
        g.Take(QStringLiteral("gradient-%1").arg(shapes[s]), *bar);
    }

    for (const Shot &shot : g.shots)
        shot.image.save(QDir(folder).filePath(shot.name + QStringLiteral(".png")));
    SaveSheet(g.shots, 0, gradientsFrom > 14 ? 14 : gradientsFrom,
              QDir(folder).filePath("sheet-layouts.png"));
    if (gradientsFrom > 14)
        SaveSheet(g.shots, 14, gradientsFrom, QDir(folder).filePath("sheet-buttons.png"));
    SaveSheet(g.shots, gradientsFrom, g.shots.size(), QDir(folder).filePath("sheet-gradients.png"));
    std::printf("%zu images written to %s\n", g.shots.size(), qPrintable(folder));
    return 0;
}
