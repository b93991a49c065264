#include "common/core/ModuleLoader.h"
#include "common/core/ComponentCall.h"
#include "common/core/ExceptionHook.h"
#include "common/core/LaunchCode.h"
#include "common/core/ModuleException.h"
#include "engine/EngineError.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

using namespace vm::core;
namespace fs = std::filesystem;

namespace {

const std::string kModuleDir = VM_TEST_MODULE_DIR;

bool isLoaded(const std::string& code) {
    void* h = ::dlopen((kModuleDir + "/" + code + ".so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) ::dlclose(h);
    return h != nullptr;
}

int testHookObject = 0;
void testHook(void*, std::exception_ptr) {}

// Runs each test once without and once with an application object, the two
// places the exception hook can live.
class ModuleLoaderTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        report_ = fs::temp_directory_path() / ("vm-testmod-" + std::to_string(::getpid()) + ".txt");
        fs::remove(report_);
        ::setenv("VM_TESTMOD_REPORT", report_.c_str(), 1);
        ::setenv("VM_TESTMOD_ACTION", "", 1);
        if (GetParam()) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        clearExceptionHook();
    }
    void TearDown() override {
        clearExceptionHook();
        app_.reset();
        fs::remove(report_);
    }

    std::map<std::string, std::string> reported() const {
        std::map<std::string, std::string> fields;
        std::ifstream in(report_);
        for (std::string line; std::getline(in, line);) {
            const auto eq = line.find('=');
            if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return fields;
    }
    std::string reportText() const {
        std::ifstream in(report_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ModuleLoader loader_{kModuleDir};
    fs::path report_;
    int argc_ = 1;
    char arg0_[8] = "vmtest";
    char* argv_[2] = {arg0_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

} // namespace

TEST_P(ModuleLoaderTest, EveryFieldCrossesIntactAndTheCopyIsReleased) {
    TLinkSection link;
    link.LoginUser = "marie";
    link.UserName = "Marie Tremblay";
    link.Reserved1 = "r1";
    link.CompanyCode = "12";
    link.CompanyName = "Société Générale de Québec";
    link.Language = 2;
    link.LangCode = "fr";
    link.PrinterIndex = "3";
    link.Reserved2 = "r2";
    link.Customer = "C-0042";
    link.ProgramDir = "/opt/Valmorand/bin";
    link.DataDir = "/srv/Valmorand/data";
    link.Reserved3 = "r3";
    link.Reserved4 = "r4";
    link.Reserved5 = 7;
    link.Reserved6 = "r6";
    link.SessionId = 0;
    link.Reserved7 = -9;
    link.UserDetail = 123456;
    link.LedgerPrefix = "ap";

    const ModuleRun run = loader_.run("vmtestmod", link);
    EXPECT_TRUE(run.loaded);
    EXPECT_EQ(run.result, -1);

    const auto f = reported();
    const std::map<std::string, std::string> expected = {{"LoginUser", "marie"},
                                                         {"UserName", "Marie Tremblay"},
                                                         {"Reserved1", "r1"},
                                                         {"CompanyCode", "12"},
                                                         {"CompanyName", "Société Générale de Québec"},
                                                         {"Language", "2"},
                                                         {"LangCode", "fr"},
                                                         {"PrinterIndex", "3"},
                                                         {"Reserved2", "r2"},
                                                         {"Customer", "C-0042"},
                                                         {"ProgramDir", "/opt/Valmorand/bin"},
                                                         {"DataDir", "/srv/Valmorand/data"},
                                                         {"Reserved3", "r3"},
                                                         {"Reserved4", "r4"},
                                                         {"Reserved5", "7"},
                                                         {"Reserved6", "r6"},
                                                         {"SessionId", "0"},
                                                         {"Reserved7", "-9"},
                                                         {"UserDetail", "123456"},
                                                         {"LedgerPrefix", "ap"}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(f.count(name) ? f.at(name) : "<missing>", value) << name;
    // The module got handles to the shell's texts, not copies of the bytes.
    EXPECT_GE(std::stoi(f.at("LoginUserShares")), 2);

    // What the module did to its copy stays there, and its references are gone.
    EXPECT_EQ(link.CompanyName, "Société Générale de Québec");
    EXPECT_EQ(link.SessionId, 0);
    EXPECT_EQ(link.LoginUser.useCount(), 1);
    EXPECT_EQ(link.CompanyName.useCount(), 1);
    EXPECT_FALSE(isLoaded("vmtestmod"));
}

TEST_P(ModuleLoaderTest, HookOfTheModuleIsGoneAfterReturnAndAfterThrow) {
    ::setenv("VM_TESTMOD_ACTION", "hook", 1);
    EXPECT_EQ(loader_.run("vmtestmod", TLinkSection()).result, -1);
    EXPECT_FALSE(currentExceptionHook().isSet());
    EXPECT_EQ(currentExceptionHook().object, nullptr);
    EXPECT_FALSE(isLoaded("vmtestmod"));

    ::setenv("VM_TESTMOD_ACTION", "hook,throw-std", 1);
    try {
        loader_.run("vmtestmod", TLinkSection());
        ADD_FAILURE() << "the module's exception was swallowed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "standard failure");
    }
    EXPECT_FALSE(currentExceptionHook().isSet());
    EXPECT_EQ(currentExceptionHook().object, nullptr);
    EXPECT_FALSE(isLoaded("vmtestmod"));
}

TEST_P(ModuleLoaderTest, HookInForceBeforeALaunchIsPutBack) {
    // A module started from inside another module's window (quick link)
    // must not leave the outer module without its handler.
    installExceptionHook({&testHook, &testHookObject});
    ::setenv("VM_TESTMOD_ACTION", "hook,throw-local", 1);
    EXPECT_THROW(loader_.run("vmtestmod", TLinkSection()), ModuleException);
    EXPECT_EQ(currentExceptionHook(), (ExceptionHook{&testHook, &testHookObject}));
}

TEST_P(ModuleLoaderTest, ExceptionsOfTheModulesOwnTypesOutliveItsUnloading) {
    ::setenv("VM_TESTMOD_ACTION", "throw-local", 1);
    try {
        loader_.run("vmtestmod", TLinkSection());
        ADD_FAILURE() << "no exception";
    } catch (const ModuleException& e) {
        EXPECT_STREQ(e.what(), "local failure");
        EXPECT_EQ(e.moduleCode(), "vmtestmod");
    }
    EXPECT_FALSE(isLoaded("vmtestmod"));

    ::setenv("VM_TESTMOD_ACTION", "hook,throw-engine", 1);
    try {
        loader_.run("vmtestmod", TLinkSection());
        ADD_FAILURE() << "no exception";
    } catch (const vm::EngineError& e) {
        EXPECT_EQ(e.code(), vm::errc::kKeyViolation);
        EXPECT_EQ(e.last().message, "key violation in cli");
    }
    EXPECT_FALSE(isLoaded("vmtestmod"));
    EXPECT_FALSE(currentExceptionHook().isSet());
}

TEST_P(ModuleLoaderTest, RefusalIsAResultOfZero) {
    ::setenv("VM_TESTMOD_ACTION", "refuse", 1);
    const ModuleRun run = loader_.run("vmtestmod", TLinkSection());
    EXPECT_TRUE(run.loaded);
    EXPECT_EQ(run.result, 0);
}

TEST_P(ModuleLoaderTest, LoadFailuresCarryTheirNumbers) {
    ModuleRun run = loader_.run("nosuchmodule", TLinkSection());
    EXPECT_FALSE(run.loaded);
    EXPECT_EQ(run.errorNumber, ModuleLoader::kNotFound);
    EXPECT_EQ(ModuleLoader::loadErrorMessage("nosuchmodule", run.errorNumber),
              "error loading option nosuchmodule  126");
    EXPECT_EQ(ModuleLoader::optionsLoadErrorMessage(run.errorNumber), "error loading optedit126");

    // A code is a file name in the program directory, nothing more.
    const std::string dirName = fs::path(kModuleDir).filename().string();
    EXPECT_EQ(loader_.run("../" + dirName + "/vmtestmod", TLinkSection()).errorNumber,
              ModuleLoader::kNotFound);
    EXPECT_EQ(loader_.run("", TLinkSection()).errorNumber, ModuleLoader::kNotFound);
    EXPECT_TRUE(reportText().empty());

    run = loader_.run("vmtestnoentry", TLinkSection());
    EXPECT_FALSE(run.loaded);
    EXPECT_EQ(run.errorNumber, ModuleLoader::kNoEntryPoint);
    EXPECT_FALSE(isLoaded("vmtestnoentry"));

    run = loader_.run("vmtestneeds", TLinkSection());
    EXPECT_FALSE(run.loaded);
    EXPECT_EQ(run.errorNumber, ModuleLoader::kDependencyMissing) << run.errorDetail;

    const fs::path junkDir = fs::temp_directory_path() / ("vm-junk-" + std::to_string(::getpid()));
    fs::create_directories(junkDir);
    std::ofstream(junkDir / "junk.so") << "not a library";
    run = ModuleLoader(junkDir.string()).run("junk", TLinkSection());
    EXPECT_FALSE(run.loaded);
    EXPECT_EQ(run.errorNumber, ModuleLoader::kBadFormat) << run.errorDetail;
    fs::remove_all(junkDir);
}

TEST_P(ModuleLoaderTest, OptionsVariantReceivesBothLists) {
    TLinkSection link;
    link.CompanyCode = "2";
    const ModuleRun run = loader_.runWithOptions(
        "vmtestopts", link, {"Cash receipts Accounts receivable", "Purchases"}, {"cashrcpt", ""});
    EXPECT_TRUE(run.loaded);
    EXPECT_EQ(run.result, 7);
    EXPECT_EQ(reportText(),
              "company=2\n[captions]\nCash receipts Accounts receivable\nPurchases\n[codes]\ncashrcpt\n\n");
    EXPECT_FALSE(isLoaded("vmtestopts"));
}

TEST_P(ModuleLoaderTest, HookInstalledInAModuleIsSeenByTheProgram) {
    // Without the loader: the module's own copy of the hook code must write
    // where the program's copy reads.
    void* h = ::dlopen((kModuleDir + "/vmtestmod.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr) << ::dlerror();
    auto entry = reinterpret_cast<ShowDllFormFn>(::dlsym(h, "ShowDllForm"));
    ASSERT_NE(entry, nullptr);
    ::setenv("VM_TESTMOD_ACTION", "hook", 1);
    EXPECT_EQ(entry(TLinkSection()), -1);

    const ExceptionHook hook = currentExceptionHook();
    ASSERT_TRUE(hook.isSet());
    hook.fn(hook.object, std::make_exception_ptr(std::runtime_error("boom")));
    clearExceptionHook();
    EXPECT_FALSE(currentExceptionHook().isSet());
    ::dlclose(h);

    const auto f = reported();
    EXPECT_EQ(f.at("hook object ok"), "1");
    EXPECT_EQ(f.at("hook error"), "boom");
}

TEST_P(ModuleLoaderTest, ComponentCallsGetTheSameCare) {
    const std::string dir = kModuleDir;
    ::setenv("VM_TESTMOD_ACTION", "refuse", 1);
    EXPECT_EQ(callComponent<std::int32_t>(dir, "vmtestmod", "ShowDllForm", TLinkSection()), 0);
    EXPECT_EQ(callComponent<std::int32_t>(dir, "vmtestmod", "NoSuchFunction", TLinkSection()), std::nullopt);
    EXPECT_EQ(callComponent<std::int32_t>(dir, "nosuchpicker", "PickClient", TLinkSection()), std::nullopt);
    EXPECT_EQ(callComponent<std::int32_t>(dir + "/sub", "../vmtestmod", "ShowDllForm", TLinkSection()),
              std::nullopt);

    ::setenv("VM_TESTMOD_ACTION", "hook,throw-local", 1);
    EXPECT_THROW(callComponent<std::int32_t>(dir, "vmtestmod", "ShowDllForm", TLinkSection()),
                 ModuleException);
    EXPECT_FALSE(currentExceptionHook().isSet());
    EXPECT_FALSE(isLoaded("vmtestmod"));
}

INSTANTIATE_TEST_SUITE_P(HookPlace, ModuleLoaderTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "WithApplication" : "WithoutApplication";
                         });

TEST(LaunchCode, EntryAndShortcutNamesBecomeModuleCodes) {
    EXPECT_EQ(stripEntrySuffixes("cashrcptf"), "cashrcpt");
    EXPECT_EQ(stripEntrySuffixes("custviewp"), "custview");
    EXPECT_EQ(stripEntrySuffixes("custviewfp"), "custview");
    EXPECT_EQ(stripEntrySuffixes("custviewpf"), "custviewp"); // "p" goes first, then "f"
    EXPECT_EQ(stripEntrySuffixes("firmedit"), "firmedit");
    EXPECT_EQ(stripEntrySuffixes("FirmEdit"), "FirmEdit");
    EXPECT_EQ(stripEntrySuffixes("purchjrnl"), "purchjrnl");

    const std::vector<std::string> catalogue = {"custmaint", "", "cashrcpt", "parmedit"};
    EXPECT_EQ(launchCode("cashrcptf", catalogue), "cashrcpt");
    EXPECT_EQ(launchCode("rcvaging", catalogue), "rcvaging"); // menu entries are not checked here
    EXPECT_EQ(launchCode("cashrcptS", catalogue), "cashrcpt");
    // A shortcut to a disabled option, or to a fragment of an enabled one,
    // starts nothing.
    EXPECT_EQ(launchCode("vendmaintS", catalogue), std::nullopt);
    EXPECT_EQ(launchCode("cashS", catalogue), std::nullopt);
    EXPECT_EQ(launchCode("maintS", catalogue), std::nullopt);
    EXPECT_EQ(launchCode("S", catalogue), std::nullopt);

    EXPECT_TRUE(isSafeModuleCode("chqissue"));
    for (const char* bad : {"", "..", "a/b", "..\\x", "/etc/passwd"})
        EXPECT_FALSE(isSafeModuleCode(bad)) << bad;
}
