#pragma once

#include <QString>

// The fixed texts of the content panels, as rich text where they carry
// structure. Kept apart from the layout so the wording can be edited alone.
namespace contenttext {

QString Slogan();
QString AboutDescription();
QString AboutFacts();
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
