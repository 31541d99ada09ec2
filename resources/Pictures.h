#pragma once

#include <QImage>

// The program's large pictures and the side bar's images.
namespace resources {

enum class Picture {
    TitleStrip, // 800 x 21: the main window's title strip (Image2, stretched)
    Background, // 800 x 579: behind the main window's content (Image1)
    Logo,       // 180 x 65: the vendor's logo (Image4)
    Banner,     // 439 x 60: the banner beside the logo (Image3)
    Splash,     // 492 x 334: the splash window; leaves room for the button
                // "进入Velmora" at (352, 285) 97 x 25 and shows the hot area
                // at (152, 226) 169 x 41 as a "visit the web site" badge
    About,      // 240 x 180: the about panel's picture (Pal_2_0)
    Join,       // 200 x 60: the picture button that opens the online
                // registration (SpBtn_IN on Pal_2_1), text "在线注册"
    Agent,      // 200 x 150: the agent programme panel's picture (Pal_2_2)
    Advert,     // 200 x 150: the advertising panel's picture (Pal_2_3)
};

// The picture at its natural size.
QImage picture(Picture which);

// The side bar's 32 x 32 images (the image list Img32), index 0..6 in the
// order of the bar's buttons: Velmora, 免费加入, 诚招代理, 广告征订,
// 商务助手, 手机查询, 地区查询.
QImage barImage(int index);

} // namespace resources
