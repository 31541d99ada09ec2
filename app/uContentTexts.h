#pragma once

#include <QString>

// The fixed texts of the content panels, as rich text where they carry
// structure. Kept apart from the layout so the wording can be edited alone.
namespace contenttext {

QString Slogan();
QString AboutDescription();
// The fact sheet, with the installed version as ShownVersion() gives it.
QString AboutFacts(const QString &version);
// The installed version as the about panel and the splash show it: the
// version file's text, or "未知" where the file gives none ("Error", the
// text the upgrade is handed for a missing file or value, or an empty value).
QString ShownVersion(const QString &installed);
QString JoinSteps();
QString VendorPostalAddress();
QString AgentIntroduction();
QString AgentTerms();
QString AdvertIntroduction();
QString AdvertPriceList();
QString AdvertContact();
// The prefix of the e-mail link's caption, with its full-width colon.
QString EmailCaptionPrefix();

} // namespace contenttext
