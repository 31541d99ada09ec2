#pragma once

#include <QString>

class QWidget;

// The vendor's addresses and every link of the program's windows to them.
namespace links {

// The vendor site's base address: scheme and host, without a trailing slash.
// The build sets it; the environment variable VELMORA_VENDOR_URL, when set
// and not empty, replaces it (trailing slashes dropped).
QString VendorBaseAddress();
// The base address of the separate site that the web-site promotion button
// opens.
QString SecondSiteAddress();
// The vendor's e-mail address.
QString VendorEmail();

// The targets the link controls open.
enum class Link {
    Home,               // splash hot area, logo, banner, status line credit
    MemberRegistration, // online registration (free listing)
    AgentInformation,   // agent programme details
    AgentApplication,   // apply to become an agent
    AdvertDetails,      // advertising details and prices
    Hotel,              // business assistant buttons, in order
    Translation,
    Purchase,
    Modeling,
    Multimedia,
    Sample,
    SiteBuild,
    SitePromote,
};

// The full address of a link.
QString Address(Link link);
// "mailto:" followed by the address.
QString MailTo(const QString &email);

// Opens a link in the user's browser. When the desktop cannot open it (no
// browser is set up), the address goes to the clipboard and a message over
// `window` (the window of the control clicked) says so and shows it.
void Open(Link link, QWidget *window);
// Opens any address or mailto: target the same way.
void OpenAddress(const QString &address, QWidget *window);
// The message for an address the desktop could not open; the address (for
// a mailto: target, the mail address) is the one put on the clipboard.
QString OpenFailedText(const QString &address);

} // namespace links
