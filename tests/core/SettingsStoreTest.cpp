#include "common/core/SettingsStore.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using vm::core::SettingsStore;
namespace fs = std::filesystem;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vm-settings-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "Tarnwell.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string content() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir_;
    std::string path_;
};

// Restores an environment variable when the test ends.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v, had_ = true;
    }
    ~EnvGuard() { had_ ? ::setenv(name_, saved_.c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

} // namespace

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndMissingValuesGiveTheDefault) {
    put("; workstation settings\n[SETTINGS]\nIntl=y\nDateFmt = YYYY/MM/DD "
        "\n[Valmorand]\npgmdrive=e:\\apps\n");
    SettingsStore store(path_);
    EXPECT_EQ(store.read("Settings", "intl", "N"), "y");
    EXPECT_EQ(store.read("settings", "DATEFMT"), "YYYY/MM/DD");
    EXPECT_EQ(store.read("Valmorand", "PgmDrive", "e:"), "e:\\apps");
    EXPECT_EQ(store.read("Valmorand", "datadrive", "e:"), "e:");
    EXPECT_EQ(store.read("Valmorand", "intl", "N"), "N"); // another section's value is not this one's
    EXPECT_TRUE(store.contains("valmorand", "PGMDRIVE"));

    SettingsStore missing((dir_ / "none.ini").string());
    EXPECT_EQ(missing.read("Settings", "CurrSmbl", "$"), "$");
    EXPECT_TRUE(missing.values("Settings").empty());
}

TEST_F(SettingsStoreTest, WritingKeepsEveryOtherLine) {
    put("; kept comment\n[Settings]\nDateFmt=DD/MM/YYYY\n\n# about the shell\n[Valmorand]\nlanguage=2\n");
    SettingsStore store(path_);
    store.write("settings", "CurrSmbl", "€");
    store.write("SETTINGS", "datefmt", "MM/DD/YYYY");
    store.write("Valmorand", "Form", "520,20,36,750,Y");
    store.write("Mail", "Server", "smtp.example.org");
    EXPECT_EQ(content(),
              "; kept comment\n[Settings]\nDateFmt=MM/DD/YYYY\nCurrSmbl=€\n\n# about the shell\n"
              "[Valmorand]\nlanguage=2\nForm=520,20,36,750,Y\n\n[Mail]\nServer=smtp.example.org\n");
    EXPECT_EQ(store.values("Settings"), (std::vector<std::pair<std::string, std::string>>{
                                            {"DateFmt", "MM/DD/YYYY"}, {"CurrSmbl", "€"}}));

    EXPECT_TRUE(store.remove("settings", "CURRSMBL"));
    EXPECT_FALSE(store.remove("settings", "CurrSmbl"));
    EXPECT_EQ(store.read("Settings", "CurrSmbl", "$"), "$");
}

TEST_F(SettingsStoreTest, AnyTextSurvivesTheRoundTrip) {
    SettingsStore store(path_);
    for (const std::string value : {"", "  leading and trailing  ", "\"quoted\"", "two\nlines\r\n", "a=b;c#d",
                                    "back\\slash", "tab\there"}) {
        store.write("Settings", "Value", value);
        EXPECT_EQ(store.read("Settings", "value", "default"), value) << value;
    }
    // The file stays one value per line whatever the text.
    store.write("Settings", "Other", "x");
    EXPECT_EQ(store.values("Settings").size(), 2u);
}

TEST_F(SettingsStoreTest, RefusesNamesTheFileCannotHoldAndFailsWithoutDamage) {
    put("[Settings]\nintl=N\n");
    SettingsStore store(path_);
    EXPECT_THROW(store.write("Settings", "a=b", "x"), std::invalid_argument);
    EXPECT_THROW(store.write("Settings", "", "x"), std::invalid_argument);
    EXPECT_THROW(store.write("Settings", "two\nlines", "x"), std::invalid_argument);
    EXPECT_THROW(store.write("Sett]ings", "a", "x"), std::invalid_argument);
    EXPECT_EQ(content(), "[Settings]\nintl=N\n");

    // The directory cannot be made: a plain file stands in its way.
    std::ofstream((dir_ / "blocker").string()) << "x";
    SettingsStore blocked((dir_ / "blocker" / "Tarnwell.ini").string());
    EXPECT_THROW(blocked.write("Settings", "intl", "Y"), std::system_error);
    EXPECT_EQ(blocked.read("Settings", "intl", "N"), "N");
}

TEST_F(SettingsStoreTest, WritersInSeveralProcessesLoseNothing) {
    SettingsStore store(path_);
    constexpr int kChildren = 4, kEach = 25;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < kEach; ++i)
                store.write("Valmorand", "v" + std::to_string(c) + "_" + std::to_string(i), "1");
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(store.values("Valmorand").size(), static_cast<std::size_t>(kChildren * kEach));
    // No temporary file is left beside the settings.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST(SettingsStorePath, EnvironmentChoosesTheFile) {
    EnvGuard a("VALMORAND_SETTINGS"), b("XDG_CONFIG_HOME"), c("HOME");
    ::setenv("VALMORAND_SETTINGS", "/tmp/vm-test/own.ini", 1);
    EXPECT_EQ(SettingsStore::defaultPath(), "/tmp/vm-test/own.ini");
    EXPECT_EQ(SettingsStore().path(), "/tmp/vm-test/own.ini");
    ::setenv("VALMORAND_SETTINGS", "", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(SettingsStore::defaultPath(), "/cfg/Tarnwell/Tarnwell.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/marie", 1);
    EXPECT_EQ(SettingsStore::defaultPath(), "/home/marie/.config/Tarnwell/Tarnwell.ini");
}
