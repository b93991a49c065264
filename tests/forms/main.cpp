// The forms tests run inside the suite's application object, so that
// exceptions escaping event handlers reach the exception hook as in a module.
#include "common/forms/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vm::forms::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
