#pragma once

// The data layer answers from the program's own table store (store/); its
// names are the data layer's own vocabulary, so they are used unqualified
// here and reach callers as platform::db names too.
namespace store {
}

namespace platform::db {
using namespace ::store;
} // namespace platform::db
