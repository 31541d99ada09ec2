#include "app/VendorLinks.h"

#include "app/VendorAddresses.h"
#include "platform/os/Shell.h"

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

void Open(Link link)
{
    OpenAddress(Address(link));
}

void OpenAddress(const QString &address)
{
    // The result is ignored: without a browser or mail program nothing happens.
    platform::shellOpen(address);
}

} // namespace links
