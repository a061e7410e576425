// The resource ids must build where <windows.h> has already defined the two
// common buttons as macros of its own.
#define IDOK 1
#define IDCANCEL 2
#include "ResourceIds.h"

#include <gtest/gtest.h>

namespace {

TEST(ResourceIds, CommonButtonsKeepTheirValuesBesideTheWindowsMacros)
{
    const int buttons[] = {IDOK, IDCANCEL, IDC_SOURCE_PATH};
    EXPECT_EQ(buttons[0], 1);
    EXPECT_EQ(buttons[1], 2);
    EXPECT_EQ(buttons[2], 1000);
}

} // namespace
