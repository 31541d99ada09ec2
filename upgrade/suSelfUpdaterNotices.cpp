#include "upgrade/suSelfUpdaterNotices.h"

#include "upgrade/suSelfUpdaterMessages.h"

namespace {

// Index of the first notice in every language's message table.
constexpr int kFirstNoticeMessage = 31;

} // namespace

QString suUpdaterNotice(TsuUpdaterNotice notice)
{
    return suMessage(kFirstNoticeMessage + static_cast<int>(notice));
}
