#include "support/TempDir.h"

#include <gtest/gtest.h>

TempDir::TempDir()
{
    EXPECT_TRUE(m_dir.isValid());
}
