#include "app/VendorLinks.h"

#include "app/VendorAddresses.h"
#include "platform/os/Shell.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <QtGlobal>

namespace links {

namespace {

QString withoutTrailingSlashes(QString address)
{
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

// Paths on the vendor's site; an empty path opens the base address alone.
const char *pathOf(Link link)
{
    switch (link) {
    case Link::Home:
        return "";
    case Link::MemberRegistration:
        return "/usemange/usemange/memberreg.asp";
    case Link::AgentInformation:
        return "/aboutme/jmms.asp";
    case Link::AgentApplication:
        return "/aboutme/leagueinfo.asp";
    case Link::AdvertDetails:
        return "/cpservice/wzgg.asp";
    case Link::Hotel:
        return "/assistant/hotel.asp";
    case Link::Translation:
        return "/assistant/trans.asp";
    case Link::Purchase:
        return "/assistant/office.asp";
    case Link::Modeling:
        return "/modeling/index.asp";
    case Link::Multimedia:
        return "/cpservice/multi_about.asp";
    case Link::Sample:
        return "/assistant/elcsample.asp";
    case Link::SiteBuild:
        return "/cpservice/wzzz.asp";
    case Link::SitePromote:
        return "";
    }
    return "";
}

} // namespace

QString VendorBaseAddress()
{
    const QString fromEnvironment = qEnvironmentVariable("VELMORA_VENDOR_URL").trimmed();
    if (!fromEnvironment.isEmpty())
        return withoutTrailingSlashes(fromEnvironment);
    return withoutTrailingSlashes(QString::fromUtf8(kBuildVendorUrl));
}

QString SecondSiteAddress()
{
    return withoutTrailingSlashes(QString::fromUtf8(kBuildSecondSiteUrl));
}

QString VendorEmail()
{
    return QString::fromUtf8(kBuildVendorEmail);
}

QString Address(Link link)
{
    // The promotion partner is a site of its own, not a page of the vendor's.
    if (link == Link::SitePromote)
        return SecondSiteAddress();
    return VendorBaseAddress() + QLatin1String(pathOf(link));
}

QString MailTo(const QString &email)
{
    return QStringLiteral("mailto:") + email;
}

void Open(Link link, QWidget *window)
{
    OpenAddress(Address(link), window);
}

namespace {

bool isMailTo(const QString &address)
{
    return address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

// What the user copies: a mail address without its "mailto:".
QString copiedText(const QString &address)
{
    return isMailTo(address) ? address.mid(7) : address;
}

} // namespace

QString OpenFailedText(const QString &address)
{
    if (isMailTo(address))
        return QStringLiteral("无法打开邮件程序：系统中没有设置可用的邮件程序。\r\n"
                              "邮箱地址已复制到剪贴板，请在您的邮件程序中粘贴使用：\r\n") +
               copiedText(address);
    return QStringLiteral("无法打开网页：系统中没有设置可用的浏览器。\r\n"
                          "网址已复制到剪贴板，请粘贴到浏览器的地址栏中打开：\r\n") +
           address;
}

void OpenAddress(const QString &address, QWidget *window)
{
    // A failure is told: a click that does nothing looks like a dead link.
    platform::shellOpenReporting(address, [address, owner = QPointer<QWidget>(window)](bool opened) {
        if (opened)
            return;
        platform::copyToClipboard(copiedText(address));
        // The splash may be gone by the time the opener gives up.
        QWidget *parent = owner && owner->isVisible() ? owner.data() : QApplication::activeWindow();
        platform::messageBox(OpenFailedText(address), QCoreApplication::applicationName(),
                             platform::MessageButtons::Ok, platform::MessageIcon::Warning, parent);
    });
}

} // namespace links
