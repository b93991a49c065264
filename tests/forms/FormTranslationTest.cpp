#include "FormsTestSupport.h"

#include "common/forms/CursorTableModel.h"
#include "common/forms/FormTranslation.h"
#include "common/forms/LanguageDirectory.h"
#include "common/forms/MessageList.h"
#include "common/forms/RecordNavigator.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <fstream>

using namespace vm;
using namespace vm::forms;

namespace {

const char* kEnglish = R"(
[Tcustmaint_frm.Tcustmaint_frm]
caption = Maintenance of clients

[Tcustmaint_frm.LabelName]
caption = Name
hint = The client's name

[Tcustmaint_frm.BtnQuit]
caption = Quit
hint = Close the window

[Tcustmaint_frm.CheckTax]
caption = Charge G.S.T./H.S.T

[Tcustmaint_frm.EditCode]
caption = Client code
hint = Up to 10 characters

[Tcustmaint_frm.GroupAddress]
caption = Client address

[Tcustmaint_frm.PageGeneral]
caption = General
hint = Name and address

[Tcustmaint_frm.IntlStrings1]
kind = memo
lines =
  The salesman is missing.
  The postal code is missing.

[Tcustmaint_frm.MemoNotes]
kind = memo
lines =
  first line
  second line

[Tcustmaint_frm.GridInvoices]
kind = grid
lines =
  Invoice
  Amount

[Tcustmaint_frm.GridTable]
kind = grid
lines =
  Code
  Name
  City

[Tcustmaint_frm.RadioLanguage]
kind = radio
caption = Language
lines =
  English
  French

[Tcustmaint_frm.ComboCurrency]
kind = combo
lines =
  Default
  US dollar
  Euro

[Tcustmaint_frm.CheckListOptions]
kind = checklist
lines =
  Statements by e-mail
  Invoices by e-mail

[Tcustmaint_frm.MenuPrint]
caption = Print the list
hint = not used for menu items

[Tcustmaint_frm.DBNavigator1]
lines =
  First client
  Prior client
  Next client
  Last client
  New client
  Delete client
  Edit client
  Save
  Cancel changes
)";

// The French table differs in every text, so that a test sees which applied.
std::string french() {
    std::string t = kEnglish;
    auto rep = [&](const std::string& a, const std::string& b) {
        for (auto p = t.find(a); p != std::string::npos; p = t.find(a, p + b.size()))
            t.replace(p, a.size(), b);
    };
    rep("Maintenance of clients", "Entretien des clients");
    rep("caption = Name", "caption = Nom");
    rep("caption = Quit", "caption = Quitter");
    return t;
}

struct Form {
    QWidget w;
    QLabel* name;
    QPushButton* quit;
    QCheckBox* tax;
    QLineEdit* code;
    QGroupBox* address;
    QTabWidget* tabs;
    QWidget* page;
    MessageList* messages;
    QPlainTextEdit* notes;
    QTableWidget* invoices;
    QTableView* table;
    QStandardItemModel* tableModel;
    QGroupBox* language;
    QComboBox* currency;
    QListWidget* options;
    QAction* print;
    RecordNavigator* nav;
    QLabel* untouched;

    Form() {
        w.setObjectName("Tcustmaint_frm");
        w.setWindowTitle("designed");
        auto* l = new QVBoxLayout(&w);
        auto add = [&](auto* x, const char* n) {
            x->setObjectName(n);
            l->addWidget(x);
            return x;
        };
        name = add(new QLabel("designed"), "LabelName");
        quit = add(new QPushButton("designed"), "BtnQuit");
        tax = add(new QCheckBox("designed"), "CheckTax");
        code = add(new QLineEdit("C001"), "EditCode");
        address = add(new QGroupBox("designed"), "GroupAddress");
        tabs = add(new QTabWidget, "Tabs");
        page = new QWidget;
        page->setObjectName("PageGeneral");
        tabs->addTab(page, "designed");
        messages = new MessageList(&w);
        notes = add(new QPlainTextEdit("designed"), "MemoNotes");
        invoices = add(new QTableWidget(0, 3), "GridInvoices");
        invoices->setHorizontalHeaderLabels({"a", "b", "c"});
        table = add(new QTableView, "GridTable");
        tableModel = new QStandardItemModel(0, 2, table);
        table->setModel(tableModel);
        language = add(new QGroupBox("designed"), "RadioLanguage");
        auto* rl = new QVBoxLayout(language);
        for (const char* n : {"r1", "r2", "r3"}) {
            auto* r = new QRadioButton(n, language);
            r->setObjectName(n);
            rl->addWidget(r);
        }
        currency = add(new QComboBox, "ComboCurrency");
        currency->addItems({"x", "y"});
        currency->setCurrentIndex(1);
        options = add(new QListWidget, "CheckListOptions");
        auto* menu = new QMenu(&w);
        print = menu->addAction("designed");
        print->setObjectName("MenuPrint");
        nav = new RecordNavigator(&w);
        l->addWidget(nav);
        untouched = add(new QLabel("designed"), "LabelWithoutRow");
    }
};

class FormTranslation : public ::testing::Test {
protected:
    void SetUp() override {
        test::buildLanguages(dir.path(), {{"custmaint.en.txt", kEnglish}, {"custmaint.fr.txt", french()}});
    }
    test::TempDir dir;
};

} // namespace

TEST_F(FormTranslation, EveryKindOfComponentTakesItsRow) {
    Form f;
    translateForm(f.w, "custmaint", "en", dir.path());

    EXPECT_EQ(f.w.windowTitle(), "Maintenance of clients");
    EXPECT_EQ(f.name->text(), "Name");
    EXPECT_EQ(f.name->toolTip(), "The client's name");
    EXPECT_EQ(f.quit->text(), "Quit");
    EXPECT_EQ(f.tax->text(), "Charge G.S.T./H.S.T");
    EXPECT_EQ(f.address->title(), "Client address");
    EXPECT_EQ(f.tabs->tabText(0), "General");
    EXPECT_EQ(f.tabs->tabToolTip(0), "Name and address");
    // An edit's text is data: the caption only becomes its placeholder.
    EXPECT_EQ(f.code->text(), "C001");
    EXPECT_EQ(f.code->placeholderText(), "Client code");
    EXPECT_EQ(f.code->toolTip(), "Up to 10 characters");

    EXPECT_EQ(f.messages->count(), 2);
    EXPECT_EQ(f.messages->message(1), "The postal code is missing.");
    EXPECT_EQ(f.messages->message(2), "");
    EXPECT_EQ(f.messages->message(-1), "");
    EXPECT_EQ(f.notes->toPlainText(), "first line\nsecond line");

    // Grid titles: as many as the grid has columns; a column without a line
    // keeps its title.
    EXPECT_EQ(f.invoices->horizontalHeaderItem(0)->text(), "Invoice");
    EXPECT_EQ(f.invoices->horizontalHeaderItem(1)->text(), "Amount");
    EXPECT_EQ(f.invoices->horizontalHeaderItem(2)->text(), "c");
    EXPECT_EQ(f.tableModel->headerData(0, Qt::Horizontal).toString(), "Code");
    EXPECT_EQ(f.tableModel->headerData(1, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(f.tableModel->columnCount(), 2);

    EXPECT_EQ(f.language->title(), "Language");
    EXPECT_EQ(f.language->findChild<QRadioButton*>("r1")->text(), "English");
    EXPECT_EQ(f.language->findChild<QRadioButton*>("r2")->text(), "French");
    EXPECT_EQ(f.language->findChild<QRadioButton*>("r3")->text(), "r3");

    ASSERT_EQ(f.currency->count(), 3);
    EXPECT_EQ(f.currency->itemText(2), "Euro");
    EXPECT_EQ(f.currency->currentIndex(), 1); // the choice survives the new list
    ASSERT_EQ(f.options->count(), 2);
    EXPECT_EQ(f.options->item(1)->text(), "Invoices by e-mail");
    EXPECT_TRUE(f.options->item(0)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(f.options->item(0)->checkState(), Qt::Unchecked);

    EXPECT_EQ(f.print->text(), "Print the list");
    EXPECT_EQ(f.nav->hints().at(0), "First client");
    EXPECT_EQ(f.nav->hints().at(8), "Cancel changes");
    EXPECT_EQ(f.nav->button(RecordNavigator::Post)->toolTip(), "Save");

    EXPECT_EQ(f.untouched->text(), "designed");
}

TEST_F(FormTranslation, LanguageCodeChoosesTheTableAndTranslatingAgainSwitches) {
    Form f;
    translateForm(f.w, "custmaint", "fr", dir.path());
    EXPECT_EQ(f.w.windowTitle(), "Entretien des clients");
    EXPECT_EQ(f.name->text(), "Nom");
    EXPECT_EQ(f.quit->text(), "Quitter");
    translateForm(f.w, "custmaint", "en", dir.path());
    EXPECT_EQ(f.w.windowTitle(), "Maintenance of clients");
    EXPECT_EQ(f.quit->text(), "Quit");
    // Items are replaced, never appended.
    EXPECT_EQ(f.currency->count(), 3);
}

TEST_F(FormTranslation, StemWithADotAndMissingTable) {
    Form f;
    translateForm(f.w, "cust.maint", "en", dir.path());
    EXPECT_EQ(f.w.windowTitle(), "Maintenance of clients");
    try {
        translateForm(f.w, "custmaint", "de", dir.path());
        FAIL() << "a missing language table must be reported";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), errc::kTableNotFound);
    }
    EXPECT_EQ(f.w.windowTitle(), "Maintenance of clients");
}

TEST_F(FormTranslation, GridTitlesOfACursorModel) {
    Session::instance().database(dir.path()); // the table lives with the language tables
    TableDef def;
    def.name = "cli";
    def.fields = {{"Cli_code", FieldType::Text, 10, true},
                  {"Cli_name", FieldType::Text, 40, false},
                  {"Cli_city", FieldType::Text, 30, false}};
    def.primaryKey = {"Cli_code"};
    Session::instance().database(dir.path()).createTable(def);
    Cursor c(Session::instance().database(dir.path()), "cli");
    CursorTableModel model(c, {{"Cli_code", "code"}, {"Cli_name", "name"}, {"Cli_city", "city"}});
    QWidget w;
    w.setObjectName("Tcustmaint_frm");
    auto* view = new QTableView(&w);
    view->setObjectName("GridTable");
    view->setModel(&model);
    translateForm(w, "custmaint", "en", dir.path());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Code");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "City");
}

TEST(LanguagesDirectory, EnvironmentFirstThenBesideTheCurrentDirectory) {
    test::TempDir root;
    const std::string saved = std::getenv("VALMORAND_LANGUAGES") ? std::getenv("VALMORAND_LANGUAGES") : "";
    const auto cwd = std::filesystem::current_path();

    setenv("VALMORAND_LANGUAGES", (root.path() + "/lang").c_str(), 1);
    EXPECT_EQ(languagesDirectory(), root.path() + "/lang");

    unsetenv("VALMORAND_LANGUAGES");
    std::filesystem::create_directories(root.path() + "/bin");
    std::filesystem::create_directories(root.path() + "/languages");
    std::filesystem::current_path(root.path() + "/bin");
    // Without the database beside it, the program's own directory decides.
    EXPECT_NE(languagesDirectory(), root.path() + "/languages");
    { std::ofstream(root.path() + "/languages/valmorand.sqlite"); }
    EXPECT_EQ(languagesDirectory(), root.path() + "/languages");

    std::filesystem::current_path(cwd);
    if (!saved.empty()) setenv("VALMORAND_LANGUAGES", saved.c_str(), 1);
    EXPECT_EQ(languageTableName("cust.maint", "fr"), "custmaintfr");
    EXPECT_EQ(languageTableName("MainMenu", "en"), "MainMenuen");
}

TEST(ShippedLanguages, FrameworkFormsTranslateFromTheBuiltTables) {
    // The build step put the tables beside the staged program directory.
    QWidget w;
    w.setObjectName("TExportDialog");
    auto* radio = new QGroupBox(&w);
    radio->setObjectName("RadioFormat");
    for (int i = 0; i < 3; ++i)
        new QRadioButton(radio);
    auto* cancel = new QPushButton(&w);
    cancel->setObjectName("BtnCancel");
    translateForm(w, "MainMenu", "fr", VM_LANGUAGES_DIR);
    EXPECT_EQ(w.windowTitle(), "Exporter");
    EXPECT_EQ(radio->findChildren<QRadioButton*>().at(2)->text(), "Texte brut");
    EXPECT_EQ(cancel->text(), "Annuler");
    translateForm(w, "MainMenu", "en", VM_LANGUAGES_DIR);
    EXPECT_EQ(radio->title(), "Export format");
    EXPECT_EQ(cancel->text(), "Cancel");
}
