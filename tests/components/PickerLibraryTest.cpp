#include "tests/components/ComponentTestSupport.h"
#include "tests/components/PickerCompany.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using vm::core::LinkString;
using vm::core::TLinkSection;
using vm::test::ComponentLibrary;
using vm::test::onNextModal;

namespace {

using TextPicker = LinkString (*)(TLinkSection);
using NumberPicker = std::int32_t (*)(TLinkSection);

struct PickerCase {
    const char* library;
    const char* function;
    bool numeric;
    const char* form;
    const char* search;   // typed in the search box
    const char* expected; // key of the first matching row
    const char* englishTitle;
    const char* frenchTitle;
};

std::ostream& operator<<(std::ostream& os, const PickerCase& c) {
    return os << c.function;
}

const PickerCase kPickers[] = {
    {"clientpicker", "PickClient", false, "TClientPicker", "o'neil", "A200", "List of clients",
     "Liste des clients"},
    {"supplierpicker", "PickSupplier", false, "TSupplierPicker", "50%", "S200", "List of suppliers",
     "Liste des fournisseurs"},
    {"accountpicker", "PickAccount", true, "TAccountPicker", "20", "2000", "Chart of accounts",
     "Plan comptable"},
    {"territorypicker", "PickTerritory", false, "TTerritoryPicker", "qu", "QUE", "List of territories",
     "Liste des territoires"},
    {"vendterritorypicker", "PickVendTerritory", false, "TVendTerritoryPicker", "tor", "TOR",
     "Supplier territories", "Territoires des fournisseurs"},
    {"termspicker", "PickTerms", true, "TTermsPicker", "delivery", "3", "Terms of payment",
     "Conditions de paiement"},
    {"salesmanpicker", "PickSalesman", false, "TSalesmanPicker", "tremblay", "MT", "List of salesmen",
     "Liste des vendeurs"},
};

// Language tables where there are none, so that the designed texts show.
class NoLanguageTables {
public:
    NoLanguageTables() : dir_(std::filesystem::temp_directory_path() / "vm-components-nolang") {
        std::filesystem::create_directories(dir_);
        ::setenv("VALMORAND_LANGUAGES", dir_.c_str(), 1);
    }
    ~NoLanguageTables() { ::unsetenv("VALMORAND_LANGUAGES"); }

private:
    std::filesystem::path dir_;
};

class PickerLibrary : public ::testing::TestWithParam<PickerCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib_.loaded()) << lib_.error();
        ASSERT_NE(lib_.symbol(GetParam().function), nullptr);
    }

    // Calls the picker's entry point as a module does; numbers as text.
    std::string pick(const TLinkSection& link) {
        const PickerCase& c = GetParam();
        if (c.numeric) return std::to_string(lib_.function<NumberPicker>(c.function)(link));
        return lib_.function<TextPicker>(c.function)(link).str();
    }

    ComponentLibrary lib_{GetParam().library};
    NoLanguageTables noTables_;
};

} // namespace

// Typing narrows the list, Enter takes the highlighted row and its key comes
// back; Escape gives the empty answer callers take as "nothing chosen".
TEST_P(PickerLibrary, ReturnsChosenKeyOrNothingWhenCancelled) {
    const PickerCase& c = GetParam();
    auto& data = vm::test::PickerCompany::instance();
    const TLinkSection link = vm::test::sessionRecord(data.dataDir(), 1);

    QString title, form;
    onNextModal([&](QWidget& w) {
        title = w.windowTitle();
        form = w.objectName();
        auto* edit = w.findChild<QLineEdit*>("EditSearch");
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(w.findChild<QTableView*>("Grid"), nullptr);
        ASSERT_NE(w.findChild<QPushButton*>("BtnOK"), nullptr);
        ASSERT_NE(w.findChild<QPushButton*>("BtnCancel"), nullptr);
        ASSERT_NE(w.findChild<QLabel*>("LabelSearch"), nullptr);
        QTest::keyClicks(edit, QString::fromUtf8(c.search));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(pick(link), c.expected);
    EXPECT_EQ(title.toStdString(), c.englishTitle);
    EXPECT_EQ(form.toStdString(), c.form);

    onNextModal([&](QWidget& w) {
        QTest::keyClicks(w.findChild<QLineEdit*>("EditSearch"), QString::fromUtf8(c.search));
        QTest::keyClick(w.findChild<QLineEdit*>("EditSearch"), Qt::Key_Escape);
    });
    EXPECT_EQ(pick(link), c.numeric ? "0" : "");

    // A search that matches nothing leaves nothing to choose: Enter does not
    // close the list, Cancel does.
    onNextModal([&](QWidget& w) {
        auto* edit = w.findChild<QLineEdit*>("EditSearch");
        QTest::keyClicks(edit, "zzz-no-such-row");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        QTest::mouseClick(w.findChild<QPushButton*>("BtnCancel"), Qt::LeftButton);
    });
    EXPECT_EQ(pick(link), c.numeric ? "0" : "");
}

// French sessions get French designed texts when the language table has none.
TEST_P(PickerLibrary, SpeaksTheSessionLanguage) {
    const PickerCase& c = GetParam();
    auto& data = vm::test::PickerCompany::instance();
    QString title, cancel, label;
    onNextModal([&](QWidget& w) {
        title = w.windowTitle();
        cancel = w.findChild<QPushButton*>("BtnCancel")->text();
        label = w.findChild<QLabel*>("LabelSearch")->text();
        static_cast<QDialog&>(w).reject();
    });
    pick(vm::test::sessionRecord(data.dataDir(), 2));
    EXPECT_EQ(title.toStdString(), c.frenchTitle);
    EXPECT_EQ(cancel, "Annuler");
    EXPECT_EQ(label, QString::fromUtf8("Rechercher\u00a0: "));
}

INSTANTIATE_TEST_SUITE_P(AllPickers, PickerLibrary, ::testing::ValuesIn(kPickers),
                         [](const auto& p) { return std::string(p.param.function); });

// The arrow keys move through the list without leaving the search box, and a
// double-click chooses like Enter.
TEST(ClientPicker, ArrowKeysAndDoubleClickChoose) {
    auto& data = vm::test::PickerCompany::instance();
    NoLanguageTables noTables;
    ComponentLibrary lib("clientpicker");
    auto pickClient = lib.function<TextPicker>("PickClient");
    ASSERT_NE(pickClient, nullptr) << lib.error();
    const TLinkSection link = vm::test::sessionRecord(data.dataDir(), 1);

    onNextModal([](QWidget& w) {
        auto* edit = w.findChild<QLineEdit*>("EditSearch");
        QTest::keyClicks(edit, "C0000");
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(pickClient(link), "C00002");

    onNextModal([](QWidget& w) {
        auto* grid = w.findChild<QTableView*>("Grid");
        QTest::keyClicks(w.findChild<QLineEdit*>("EditSearch"), "A");
        const QRect cell = grid->visualRect(grid->model()->index(2, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    });
    EXPECT_EQ(pickClient(link), "A300");
}

// The shipped language tables name the widgets this dialog has.
TEST(ClientPicker, TakesItsTextsFromTheLanguageTable) {
    auto& data = vm::test::PickerCompany::instance();
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    ComponentLibrary lib("supplierpicker");
    QString title, nameTitle, label, hint;
    onNextModal([&](QWidget& w) {
        title = w.windowTitle();
        hint = w.findChild<QLineEdit*>("EditSearch")->toolTip();
        auto* grid = w.findChild<QTableView*>("Grid");
        nameTitle = grid->model()->headerData(1, Qt::Horizontal).toString();
        label = w.findChild<QLabel*>("LabelSearch")->text();
        static_cast<QDialog&>(w).reject();
    });
    lib.function<TextPicker>("PickSupplier")(vm::test::sessionRecord(data.dataDir(), 2));
    ::unsetenv("VALMORAND_LANGUAGES");
    // Supplier maintenance recognises the open picker by this caption.
    EXPECT_EQ(title, "Liste des fournisseurs");
    EXPECT_EQ(nameTitle, "Nom");
    EXPECT_EQ(label, QString::fromUtf8("Rechercher\u00a0: "));
    EXPECT_EQ(hint, "Tapez le début d'un code ou d'un nom de fournisseur") << "the designed hint differs";
}

// A company without the table (or without a database at all) is reported
// and answered with nothing chosen; the look-up creates nothing there.
TEST(ClientPicker, MissingCompanyIsReportedNotCreated) {
    NoLanguageTables noTables;
    vm::test::TempCompany empty;
    const std::string missing = empty.dataDir() + "7";
    std::filesystem::create_directories(missing);
    TLinkSection link = vm::test::sessionRecord(empty.dataDir(), 1);
    link.CompanyCode = "7";

    ComponentLibrary lib("clientpicker");
    QString message;
    onNextModal([&](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_NE(box, nullptr);
        message = box->text();
        box->accept();
    });
    EXPECT_EQ(lib.function<TextPicker>("PickClient")(link), "");
    EXPECT_EQ(message, "Error opening table cli.db.");
    EXPECT_TRUE(std::filesystem::is_empty(missing));

    ComponentLibrary accounts("accountpicker");
    link.Language = 2;
    link.LangCode = "fr";
    onNextModal([&](QWidget& w) {
        message = static_cast<QMessageBox&>(w).text();
        static_cast<QMessageBox&>(w).accept();
    });
    EXPECT_EQ(accounts.function<NumberPicker>("PickAccount")(link), 0);
    EXPECT_EQ(message, "Erreur lors de l'ouverture de la table glm.db.");
}
