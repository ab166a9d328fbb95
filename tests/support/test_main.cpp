// GoogleTest's main, with root's file-permission override dropped first.
#include "file_access.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    dropFileAccessOverride();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
