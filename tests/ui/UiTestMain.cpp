#include "ui/AppObjects.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The windows come from this executable's own copy of the program's resources.
    appInstance = GetModuleHandleA(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
