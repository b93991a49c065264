// The component tests run inside the suite's application object, as the
// components do inside the shell or a module.
#include "common/forms/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vm::forms::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
