#include "FormsTestSupport.h"

#include "common/core/RegionalSettings.h"
#include "common/forms/CursorTableModel.h"
#include "common/forms/QueryTableModel.h"
#include "common/forms/RecordNavigator.h"
#include "engine/Cursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdio>

using namespace vm;
using namespace vm::forms;

namespace {

constexpr int kRows = 5000;

class Grids : public ::testing::Test {
protected:
    void SetUp() override {
        core::RegionalSettings::setCurrent(core::RegionalSettings());
        TableDef def;
        def.name = "car";
        def.fields = {{"Car_client", FieldType::Text, 10, true},
                      {"Car_invoice", FieldType::Int32, 0, true},
                      {"Car_amount", FieldType::Money, 0, false}};
        def.primaryKey = {"Car_client", "Car_invoice"};
        db().createTable(def);
        Transaction tx(db());
        Cursor c(db(), "car");
        // Inserted out of key order, so that the grid's order is the index's.
        for (int i = kRows - 1; i >= 0; --i) {
            char client[16];
            std::snprintf(client, sizeof client, "C%05d", i / 10);
            c.insert();
            c.set("Car_client", client);
            c.set("Car_invoice", i);
            c.set("Car_amount", Money::fromCents(i * 100 + 5));
            c.post();
        }
        tx.commit();
    }

    Database& db() { return Session::instance().database(dir.path()); }

    test::TempDir dir;
};

} // namespace

TEST_F(Grids, CursorModelReadsLazilyInTheCursorsOrder) {
    Cursor c(db(), "car");
    c.setRange({Value("C00100")}, {Value("C00499")}); // 4000 rows
    ASSERT_TRUE(c.findKey({Value("C00200"), Value(2003)}));
    const std::int64_t home = c.rowId();

    CursorTableModel model(c,
                           {{"Car_client", "Client"}, {"Car_invoice", "Invoice"}, {"Car_amount", "Amount"}});
    model.setBatchSize(50);
    EXPECT_EQ(model.rowCount(), 0);
    QTableView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    // The view asked for what it shows, not for the table.
    EXPECT_GT(model.rowCount(), 0);
    EXPECT_LE(model.rowCount(), 200);
    EXPECT_TRUE(model.canFetchMore({}));
    EXPECT_EQ(c.rowId(), home); // the form's row is where it was

    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "C00100");
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "1000");
    EXPECT_EQ(model.data(model.index(0, 2), Qt::DisplayRole).toString(), "$1,000.05");
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Invoice");

    while (model.canFetchMore({}))
        model.fetchMore({});
    ASSERT_EQ(model.rowCount(), 4000);
    for (int r = 1; r < model.rowCount(); ++r)
        ASSERT_EQ(model.data(model.index(r, 1), Qt::DisplayRole).toInt(), 1000 + r) << r;
    EXPECT_EQ(model.data(model.index(3999, 0), Qt::DisplayRole).toString(), "C00499");
    EXPECT_EQ(c.rowId(), home);

    // A chosen grid row becomes the cursor's.
    ASSERT_TRUE(model.moveCursorTo(10));
    EXPECT_EQ(c.integer("Car_invoice"), 1010);
    EXPECT_EQ(model.rowOf(c.rowId()), 10);

    model.reload();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.canFetchMore({}));
}

TEST_F(Grids, OwnCursorIsLeftWhereReadingStopped) {
    Cursor c(db(), "car");
    CursorTableModel model(c, {{"Car_invoice", "Invoice"}});
    model.setRestorePosition(false);
    model.setBatchSize(1000);
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(c.integer("Car_invoice"), 999);
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(model.data(model.index(kRows - 1, 0), Qt::DisplayRole).toInt(), kRows - 1);
}

TEST_F(Grids, QueryModelReadsInBatchesAndAgainOnReload) {
    int opened = 0;
    QueryTableModel model(
        [&] {
            ++opened;
            return std::make_unique<Query>(db(),
                                           "SELECT Car_client, SUM(Car_amount) AS total FROM car "
                                           "WHERE Car_client >= ? GROUP BY Car_client ORDER BY Car_client",
                                           std::vector<Value>{Value("C00490")});
        },
        {{"Car_client", "Client"}, {"total", "Total"}});
    model.setBatchSize(4);
    EXPECT_EQ(model.rowCount(), 0);
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 4);
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "C00490");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Total");
    model.reload();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(Grids, NavigatorButtonsFollowTheCursorState) {
    Cursor c(db(), "car");
    RecordNavigator nav;
    nav.setDeleteQuestion({});
    auto enabled = [&] {
        QString s;
        for (int a = 0; a < RecordNavigator::kActionCount; ++a)
            s += nav.button(static_cast<RecordNavigator::Action>(a))->isEnabled() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(enabled(), "000000000"); // no cursor
    nav.setCursor(&c);
    c.first();
    //                 F P N L I D E P C
    EXPECT_EQ(enabled(), "001111100");
    c.last();
    EXPECT_EQ(enabled(), "110011100");
    ASSERT_TRUE(nav.trigger(RecordNavigator::Edit));
    EXPECT_EQ(enabled(), "000000011");
    ASSERT_TRUE(nav.trigger(RecordNavigator::Cancel));
    EXPECT_EQ(enabled(), "110011100");

    // A handler may veto an action; after-action signals follow the ones run.
    QList<int> after;
    QObject::connect(&nav, &RecordNavigator::beforeAction, [](RecordNavigator::Action a, bool& abort) {
        if (a == RecordNavigator::Delete) abort = true;
    });
    QObject::connect(&nav, &RecordNavigator::afterAction, [&](RecordNavigator::Action a) { after << a; });
    EXPECT_FALSE(nav.trigger(RecordNavigator::Delete));
    EXPECT_TRUE(nav.trigger(RecordNavigator::First));
    EXPECT_EQ(after, QList<int>{RecordNavigator::First});
    EXPECT_EQ(c.recordCount(), kRows);

    // Read-only cursors only move; an empty range offers insert alone.
    Cursor ro(db(), "car", true);
    nav.setCursor(&ro);
    ro.first();
    EXPECT_EQ(enabled(), "001100000");
    nav.setCursor(&c);
    c.setRange({Value("none")});
    EXPECT_EQ(enabled(), "000010000");
}

// Each icon-only button has a key that works while an edit field has the
// focus, named in its tool tip whatever hint the language table gives.
TEST_F(Grids, NavigatorButtonsHaveKeysNamedInTheirHints) {
    Cursor c(db(), "car");
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* nav = new RecordNavigator(&window);
    layout->addWidget(edit);
    layout->addWidget(nav);
    nav->setCursor(&c);
    c.first();
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    const std::int64_t first = c.rowId();
    QTest::keyClick(edit, Qt::Key_PageDown, Qt::AltModifier);
    for (int i = 0; i < 100 && c.rowId() == first; ++i)
        QTest::qWait(10);
    EXPECT_NE(c.rowId(), first);
    const QString key = QKeySequence(Qt::ALT | Qt::Key_PageDown).toString(QKeySequence::NativeText);
    EXPECT_EQ(nav->button(RecordNavigator::Next)->toolTip(), QStringLiteral("Next record (%1)").arg(key));
    nav->setHints({QStringLiteral("Premier"), QStringLiteral("Précédent"), QStringLiteral("Suivant")});
    EXPECT_EQ(nav->button(RecordNavigator::Next)->toolTip(), QStringLiteral("Suivant (%1)").arg(key));
    EXPECT_EQ(nav->hints().at(2), QStringLiteral("Suivant"));
}

TEST_F(Grids, NavigatorDeleteAsksFirst) {
    Cursor c(db(), "car");
    c.first();
    RecordNavigator nav;
    nav.setCursor(&c);
    QObject watch;
    test::whenModal<QMessageBox>([](QMessageBox* box) { box->reject(); }, 10000, &watch);
    EXPECT_FALSE(nav.trigger(RecordNavigator::Delete));
    EXPECT_EQ(c.recordCount(), kRows);
    test::whenModal<QMessageBox>(
        [](QMessageBox* box) {
            EXPECT_EQ(box->text(), "Delete record?");
            box->button(QMessageBox::Ok)->click();
        },
        10000, &watch);
    EXPECT_TRUE(nav.trigger(RecordNavigator::Delete));
    EXPECT_EQ(c.recordCount(), kRows - 1);
}
