// The shared platform tests: the same cases run against the Linux layer and against the Windows
// layer (under Wine in CI). Both runs print how many shared cases there are, so a case that one
// build leaves out shows.
#include "contract/Host.h"

#include <gtest/gtest.h>
#include <iostream>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const auto* tests = ::testing::UnitTest::GetInstance();
    std::cout << "Shared platform cases: " << tests->total_test_count() << " (" << orbisto::test::host::layerName()
              << " layer" << (orbisto::test::host::underWine() ? " under Wine" : "") << ")" << std::endl;
    return RUN_ALL_TESTS();
}
