// The application object of the flow tests, made before any test runs.
#include "common/forms/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        static int argc = 1;
        static char name[] = "vm_shell_flow_tests";
        static char* argv[] = {name, nullptr};
        app_ = new vm::forms::Application(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    vm::forms::Application* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
