#include "TempHome.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    TempHome home;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
