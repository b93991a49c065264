#include "FormsTestSupport.h"

#include "common/core/RegionalSettings.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/FieldBinder.h"
#include "common/forms/RecordNavigator.h"
#include "engine/Cursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::forms;

namespace {

class Bindings : public ::testing::Test {
protected:
    void SetUp() override {
        core::RegionalSettings rs;
        core::RegionalSettings::setCurrent(rs); // DD/MM/YYYY, "$" before
        TableDef def;
        def.name = "cli";
        def.fields = {
            {"Cli_code", FieldType::Text, 10, true},       {"Cli_copies", FieldType::Int16, 0, false},
            {"Cli_sales_ytd", FieldType::Money, 0, false}, {"Cli_date_created", FieldType::Date, 0, false},
            {"Cli_tax_fed", FieldType::Boolean, 0, false}, {"Cli_comments", FieldType::Memo, 240, false},
            {"Cli_discount", FieldType::Float, 0, false},  {"Cli_language", FieldType::Text, 1, false},
            {"Cli_format1", FieldType::Text, 20, false},   {"Cli_currency", FieldType::Int16, 0, false}};
        def.primaryKey = {"Cli_code"};
        db().createTable(def);
        Cursor c(db(), "cli");
        for (auto [key, amount] : {std::pair{"A1", 123456}, std::pair{"B2", -500}}) {
            c.insert();
            c.set("Cli_code", key);
            c.set("Cli_sales_ytd", Money::fromCents(amount));
            c.set("Cli_copies", 2);
            c.set("Cli_date_created", Date::fromYmd(2026, 12, 8));
            c.set("Cli_language", "2");
            c.set("Cli_format1", "Standard");
            c.set("Cli_currency", 1);
            c.post();
        }
        cursor = std::make_unique<Cursor>(db(), "cli");
        cursor->first();

        auto* l = new QVBoxLayout(&form);
        for (QWidget* w : std::initializer_list<QWidget*>{code, copies, sales, created, tax, comments,
                                                          discount, language, format, currency, focusSink})
            l->addWidget(w);
        language->addItems({"English", "French"});
        format->addItems({"Short", "Standard", "Long"});
        currency->addItems({"Default", "US", "EUR"});
        binder = std::make_unique<FieldBinder>(*cursor);
        binder->bindText(code, "Cli_code");
        binder->bindText(copies, "Cli_copies");
        binder->bindText(sales, "Cli_sales_ytd");
        binder->bindText(created, "Cli_date_created");
        binder->bindCheck(tax, "Cli_tax_fed");
        binder->bindMemo(comments, "Cli_comments");
        binder->bindText(discount, "Cli_discount");
        binder->bindComboIndex(language, "Cli_language", 1);
        binder->bindComboText(format, "Cli_format1");
        binder->bindComboIndex(currency, "Cli_currency");
        form.show();
        QApplication::setActiveWindow(&form);
    }
    void TearDown() override { core::RegionalSettings::setCurrent(core::RegionalSettings()); }

    Database& db() { return Session::instance().database(dir.path()); }

    static void retype(QLineEdit* e, const QString& text) {
        // The first key replaces the whole text, as when the user types over it.
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    test::TempDir dir;
    std::unique_ptr<Cursor> cursor;
    QWidget form;
    QLineEdit* code = new QLineEdit;
    QLineEdit* copies = new QLineEdit;
    QLineEdit* sales = new QLineEdit;
    QLineEdit* created = new QLineEdit;
    QCheckBox* tax = new QCheckBox("tax");
    QPlainTextEdit* comments = new QPlainTextEdit;
    QLineEdit* discount = new QLineEdit;
    QComboBox* language = new QComboBox;
    QComboBox* format = new QComboBox;
    QComboBox* currency = new QComboBox;
    QLineEdit* focusSink = new QLineEdit;
    std::unique_ptr<FieldBinder> binder;
};

} // namespace

TEST_F(Bindings, ShowTheCurrentRowAndFollowTheCursor) {
    EXPECT_EQ(code->text(), "A1");
    EXPECT_EQ(copies->text(), "2");
    EXPECT_EQ(sales->text(), "$1,234.56");
    EXPECT_EQ(created->text(), "08/12/2026");
    EXPECT_TRUE(created->inputMask().startsWith("99/99/9999"));
    EXPECT_EQ(code->maxLength(), 10);
    EXPECT_EQ(language->currentIndex(), 1); // "2" with offset 1
    EXPECT_EQ(format->currentText(), "Standard");
    EXPECT_EQ(currency->currentIndex(), 1);
    cursor->next();
    EXPECT_EQ(code->text(), "B2");
    EXPECT_EQ(sales->text(), "-$5.00");
}

TEST_F(Bindings, UserEditsAreWrittenAsTypedValues) {
    cursor->edit();
    retype(copies, "7");
    retype(sales, "2500.5");
    retype(created, "31012027");
    retype(discount, "2,5");
    tax->click();
    comments->setFocus();
    QTest::keyClicks(comments, "Pays late");
    language->setCurrentIndex(0);
    emit language->activated(0);
    format->setCurrentIndex(2);
    emit format->activated(2);
    currency->setCurrentIndex(2);
    emit currency->activated(2);
    focusSink->setFocus();

    EXPECT_EQ(cursor->value("Cli_copies"), Value(std::int64_t{7}));
    EXPECT_EQ(cursor->money("Cli_sales_ytd"), Money::fromCents(250050));
    EXPECT_EQ(cursor->date("Cli_date_created"), Date::fromYmd(2027, 1, 31));
    EXPECT_DOUBLE_EQ(cursor->dbl("Cli_discount"), 2.5);
    EXPECT_TRUE(cursor->boolean("Cli_tax_fed"));
    EXPECT_EQ(cursor->str("Cli_comments"), "Pays late");
    EXPECT_EQ(cursor->str("Cli_language"), "1");
    EXPECT_EQ(cursor->str("Cli_format1"), "Long");
    EXPECT_EQ(cursor->integer("Cli_currency"), 2);
    // Leaving the amount shows it with the currency again.
    EXPECT_EQ(sales->text(), "$2,500.50");
    cursor->post();

    Cursor check(db(), "cli");
    ASSERT_TRUE(check.findKey({Value("A1")}));
    EXPECT_EQ(check.money("Cli_sales_ytd"), Money::fromCents(250050));
    EXPECT_EQ(check.date("Cli_date_created"), Date::fromYmd(2027, 1, 31));
    EXPECT_EQ(check.str("Cli_comments"), "Pays late");
}

TEST_F(Bindings, TextThatIsNotAValueIsRefusedAndNothingWritten) {
    cursor->edit();
    retype(copies, "x1");
    EXPECT_EQ(cursor->integer("Cli_copies"), 2);
    QString message;
    QObject watch;
    test::answerMessageBox(&message, &watch);
    focusSink->setFocus();
    EXPECT_TRUE(test::waitUntil([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(message.contains("x1"));
    EXPECT_TRUE(test::waitUntil([&] { return form.focusWidget() == copies; }));
    // Beyond a small integer: the last value that fitted stays.
    retype(copies, "40000");
    EXPECT_EQ(cursor->integer("Cli_copies"), 4000);
    retype(copies, "4");
    // A date that is not a real one.
    retype(created, "31022027");
    EXPECT_EQ(cursor->date("Cli_date_created"), Date::fromYmd(2026, 12, 8));
    cursor->cancel();
}

TEST_F(Bindings, BrowsingWritesNothingUnlessAutoEditStartsAnEdit) {
    retype(code, "ZZ");
    EXPECT_EQ(cursor->state(), Cursor::State::Browse);
    EXPECT_EQ(cursor->str("Cli_code"), "A1");
    tax->click();
    EXPECT_FALSE(tax->isChecked()); // shows what the row holds

    int started = 0;
    binder->setAutoEdit([&] {
        ++started;
        cursor->edit();
        binder->load(); // a module may refresh its controls here
    });
    retype(copies, "5");
    EXPECT_EQ(started, 1);
    EXPECT_EQ(cursor->state(), Cursor::State::Edit);
    EXPECT_EQ(copies->text(), "5"); // what was typed survives the refresh
    EXPECT_EQ(cursor->integer("Cli_copies"), 5);
    cursor->cancel();
    EXPECT_EQ(copies->text(), "2"); // cancel reloads through the move listener
}

TEST_F(Bindings, NavigatorInsertShowsTheBlankRow) {
    RecordNavigator nav;
    nav.setDeleteQuestion({});
    nav.setCursor(cursor.get());
    binder->follow(&nav);
    ASSERT_TRUE(nav.trigger(RecordNavigator::Insert));
    EXPECT_EQ(code->text(), "");
    EXPECT_EQ(sales->text(), "");
    retype(code, "C3");
    retype(sales, "10");
    ASSERT_TRUE(nav.trigger(RecordNavigator::Post));
    EXPECT_EQ(cursor->str("Cli_code"), "C3");
    EXPECT_EQ(cursor->money("Cli_sales_ytd"), Money::fromUnits(10));
}

TEST(DisplayFormatTest, FollowsTheRegionalSettings) {
    core::RegionalSettings rs;
    rs.dateFormat = "YYYY-MM-DD";
    rs.currencySymbol = "€";
    rs.currencyAlign = "R";
    core::RegionalSettings::setCurrent(rs);
    EXPECT_EQ(DisplayFormat::money(Money::fromCents(-123456)), QString::fromUtf8("-1,234.56€"));
    EXPECT_EQ(DisplayFormat::parseMoney(QString::fromUtf8("1,234.56€")), Money::fromCents(123456));
    EXPECT_EQ(DisplayFormat::date(Date::fromYmd(2026, 3, 4)), "2026-03-04");
    EXPECT_EQ(DisplayFormat::dateInputMask(), "9999-99-99; ");
    EXPECT_EQ(DisplayFormat::parseDate("    -  -  "), Date());
    EXPECT_FALSE(DisplayFormat::parseDate("2026-02-30").has_value());
    core::RegionalSettings::setCurrent(core::RegionalSettings());
    EXPECT_EQ(DisplayFormat::inputMaskOf("!99/99/9999;1; "), "99/99/9999; ");
}
