#pragma once

// The data layer in one include.
#include "platform/db/DataSource.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbField.h"
#include "platform/db/DbQuery.h"
