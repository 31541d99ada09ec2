#include "app/uContentTexts.h"

namespace contenttext {

QString Slogan()
{
    return QStringLiteral("加入《Velmora》，实现网上、网下同步宣传！");
}

QString AboutDescription()
{
    return QStringLiteral(
        "<p style='line-height:120%; text-indent:24px'>Velmora 是 Kestrune "
        "推出的中国企业名录软件，收录全国各省、"
        "自治区、直辖市的企业资料：公司名称、地址、电话、传真、网址、电子邮箱、主营产品与公司简介，"
        "一应俱全。</p>"
        "<p style='line-height:120%; "
        "text-indent:24px'>按省份或城市浏览，多条件复合查询，输入即查的快速检索，一键进入"
        "企业网站——找客户、找供应商、找合作伙伴，从这里开始。另附手机号码归属地查询与全国区号、"
        "邮编查询，是销售、采购与外贸人员的案头工具。</p>");
}

QString ShownVersion(const QString &installed)
{
    const QString version = installed.trimmed();
    if (version.isEmpty() || version == QLatin1String("Error"))
        return QStringLiteral("未知");
    return version;
}

QString AboutFacts(const QString &version)
{
    return QStringLiteral("<table cellspacing='0' cellpadding='2'>"
                          "<tr><td>软件名称：</td><td>Velmora 中国企业名录</td></tr>"
                          "<tr><td>软件版本：</td><td>") +
           ShownVersion(version).toHtmlEscaped() +
           QStringLiteral("</td></tr>"
                          "<tr><td>软件大小：</td><td>约 10 MB（含企业数据库）</td></tr>"
                          "<tr><td>软件语言：</td><td>简体中文</td></tr>"
                          "<tr><td>授权方式：</td><td>免费软件，欢迎转发</td></tr>"
                          "<tr><td>运行环境：</td><td>Linux 桌面（X11、Wayland）</td></tr>"
                          "<tr><td>开 发 商：</td><td>Kestrune</td></tr>"
                          "</table>");
}

QString JoinSteps()
{
    return QStringLiteral(
        "<p style='line-height:120%; text-indent:24px'>Velmora "
        "免费收录中国境内依法经营的各类企业。登记一次，您的企业资料"
        "便随 Velmora 的每一次更新送到成千上万的采购商、经销商桌面上，同时在 Kestrune 网站上展示。</p>"
        "<p style='line-height:120%; margin-bottom:0'><b>加入方法</b></p>"
        "<p style='line-height:120%; margin-top:2px; "
        "margin-left:12px'>一、点击下方“在线注册”，填写企业名称、联系方式、主营产品和公司简介；<br>"
        "二、编辑部在三个工作日内审核资料，并通过电话或电子邮件与您确认；<br>"
        "三、审核通过后，资料收入下一版 Velmora，用户在线升级即可看到。</p>"
        "<p style='line-height:120%; text-indent:24px'>资料完整、诚信经营的企业可申请“诚信企业”标识，在名录中"
        "一键即可筛选出来。</p>");
}

QString VendorPostalAddress()
{
    return QStringLiteral("通信地址：北京市海淀区示例大街18号 Kestrune 信息中心　邮编：100080");
}

QString AgentIntroduction()
{
    return QStringLiteral(
        "<p style='line-height:120%; text-indent:24px'>Velmora 诚招全国各地区代理商。代理商在本地区推广 "
        "Velmora，"
        "收集并更新当地企业资料，承接企业广告、网站建设与推广业务，按业绩享受丰厚提成。</p>");
}

QString AgentTerms()
{
    return QStringLiteral(
        "<p style='line-height:120%; margin-bottom:0'><b>代理条件</b></p>"
        "<p style='line-height:120%; margin-top:2px; margin-left:12px'>· "
        "具有独立法人资格的企业或个体工商户；<br>"
        "· 熟悉本地企业市场，有稳定的销售渠道；<br>"
        "· 认同 Kestrune 的经营理念，诚信守约。</p>"
        "<p style='line-height:120%; margin-bottom:0'><b>代理权益</b></p>"
        "<p style='line-height:120%; margin-top:2px; margin-left:12px'>· 区域代理权，同一地区不重复授权；<br>"
        "· 总部提供培训、宣传资料与技术支持；<br>"
        "· 广告、建站业务分成，年度优秀代理另有奖励。</p>");
}

QString AdvertIntroduction()
{
    return QStringLiteral(
        "<p style='line-height:120%; text-indent:24px'>Velmora "
        "的用户遍及全国各行各业，每天打开它寻找客户与供应商。"
        "在这里刊登广告，您的企业形象和产品会出现在最需要它们的人面前。现面向社会征订以下广告：</p>");
}

QString AdvertPriceList()
{
    return QStringLiteral("<table cellspacing='0' cellpadding='3' border='1' style='border-color:#a0a0a0'>"
                          "<tr style='background-color:#e8e8e8'><th>广告位置</th><th>规格</th>"
                          "<th>价格（元／期）</th></tr>"
                          "<tr><td>启动画面</td><td>492×334 像素，独家</td><td align='right'>8,000</td></tr>"
                          "<tr><td>主窗口横幅</td><td>439×60 像素，轮换</td><td align='right'>5,000</td></tr>"
                          "<tr><td>名录置顶</td><td>本省名录首屏显示</td><td align='right'>1,200</td></tr>"
                          "<tr><td>简介加长</td><td>不限字数，附产品介绍</td><td align='right'>600</td></tr>"
                          "</table>");
}

QString AdvertContact()
{
    return QStringLiteral("广告联系：Kestrune 广告部（周一至周五 9:00—17:30）<br>"
                          "连续刊登三期九折，六期八折；代理商另有优惠。");
}

QString EmailCaptionPrefix()
{
    return QStringLiteral("EMAIL：");
}

} // namespace contenttext
