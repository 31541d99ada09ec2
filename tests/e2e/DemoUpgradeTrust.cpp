// What the test program Dorvak_demo_key trusts: the tests' demo key, whose
// private half (tests/upgrade/keys/demo-upgrade-key.pem) signs the releases
// of the end-to-end tests. Compiled into that test program only.
#include "upgrade/suUpgradeTrust.h"

namespace {

const TsuUpgradeTrustRegistration demoUpgradeTrust(
    {suUpgradeKeysFromTexts({QStringLiteral("YkwfTTe1iTVqSMHvsEOxv/dKBdyWBOEDy48qcDweJkA=")}), false});

} // namespace
