// Every posting and maintenance store run through each of its failure
// points: the Nth statement fails (or meets a busy database), for N = 1 until
// the store gets through without meeting one. Each time the books must be as
// before (every table row for row, and the books check), and the failure must
// reach the user: an exception to the window's error path, or the error form.
#include "common/forms/RecordEditTransaction.h"
#include "common/forms/TErrorForm.h"
#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ReceiptDocument.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "modules/cashrcpt/core/ReceiptPosting.h"
#include "modules/custmaint/core/ClientTables.h"
#include "modules/vendmaint/core/SupplierTables.h"
#include "tests/modules/cashrcpt/ReceiptCompany.h"
#include "tools/BooksCheck.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace vm;
using namespace vm::test;

namespace {

const Date kInv = Date::fromYmd(2026, 3, 1);

class StoreFaultTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        co.client("C1", "Client One");
        co.client("C2", "Client Two");
        co.ledger("C1", "A1", "1", units(500), kInv);
        // The error form is answered as soon as it shows, and counted.
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* f = qobject_cast<forms::TErrorForm*>(QApplication::activeModalWidget())) {
                ++shown;
                f->accept();
            }
        });
        closer.start(10);
    }

    // Every row of every table of the company, in storage order.
    std::string books() {
        std::string out;
        for (const auto& t : co.db().tableNames()) {
            Query q(co.db(), "SELECT * FROM " + t + " ORDER BY rowid");
            out += "[" + t + "]\n";
            while (q.next()) {
                for (int i = 0; i < q.columnCount(); ++i)
                    out += q.value(i).asString() + "|";
                out += "\n";
            }
        }
        return out;
    }

    // Runs `store` with a fault at statement 1, 2, ... until it meets none;
    // `recover` is what the window does after a failure (cancel its edit).
    // Returns the number of failure points met.
    int throughEveryFailurePoint(FaultKind kind, const std::function<void(int)>& store,
                                 const std::function<void()>& recover, const std::function<bool()>& stored) {
        for (int n = 1; n < 400; ++n) {
            const std::string before = books();
            shown = 0;
            bool thrown = false;
            co.db().injectFault(n, kind);
            try {
                store(n);
            } catch (...) {
                thrown = true;
                recover();
            }
            const bool fired = co.db().faultFired();
            co.db().injectFault(0);
            if (!fired) {
                EXPECT_FALSE(thrown || shown) << "no fault, yet a failure at " << n;
                EXPECT_TRUE(stored());
                return n - 1;
            }
            if (thrown || shown) {
                EXPECT_EQ(books(), before) << "statement " << n << " left part of the store";
            } else {
                // Only a busy database may be waited out, and then the store is whole.
                EXPECT_EQ(kind, FaultKind::Busy) << "failure at " << n << " reported as success";
                EXPECT_TRUE(stored()) << "statement " << n;
            }
            const auto differences = admin::checkBooks(co.db());
            EXPECT_TRUE(differences.empty()) << "statement " << n << ": " << differences.front();
        }
        ADD_FAILURE() << "the store never got through";
        return 0;
    }

    ReceiptCompany co{GetParam()};
    QTimer closer;
    int shown = 0;
};

TEST_P(StoreFaultTest, ACashReceiptPostingIsWholeOrAbsentAtEveryFailurePoint) {
    cashrcpt::ReceiptEntry entry(co.db(), co.accounts, 3);
    entry.createWorkTables(*co.root);
    entry.startClient(*entry.findClient("C1"), "CHQ");
    entry.setPayment(entry.invoices().front().rowId, units(200));
    const cashrcpt::ReceiptDocument doc = entry.document(Date::fromYmd(2026, 4, 10), "CHQ", "", false);
    cashrcpt::ReceiptPosting posting(co.db(), co.accounts);
    auto posted = [&] { return co.count("crorihdr") > 0; };
    for (FaultKind kind : {FaultKind::Fail, FaultKind::Busy}) {
        EXPECT_GT(throughEveryFailurePoint(
                      kind, [&](int) { posting.postOnce(doc, 4); }, [] {}, posted),
                  5);
        co.db().execute("DELETE FROM crorihdr"); // the next kind starts unposted
        co.db().execute("DELETE FROM croridet");
        co.db().execute("DELETE FROM tjlh");
        co.db().execute("DELETE FROM tjld");
        co.db().execute("DELETE FROM concil");
        co.db().execute("DELETE FROM car WHERE Car_ref = 'CHQ'");
        co.db().execute("UPDATE cli SET Cli_current_bal = 5000000 WHERE Cli_code = 'C1'");
    }
}

TEST_P(StoreFaultTest, MaintenanceStoresAreWholeOrAbsentAtEveryFailurePoint) {
    forms::TErrorForm errorForm;
    custmaint::ClientTables clients(co.db(), *co.root);
    forms::RecordEditTransaction clientEdit(co.db(), clients.cli(), &errorForm, nullptr, "");
    vendmaint::SupplierTables suppliers(co.db());
    forms::RecordEditTransaction supplierEdit(co.db(), suppliers.sup(), &errorForm, nullptr, "");
    std::string name;
    for (FaultKind kind : {FaultKind::Fail, FaultKind::Busy}) {
        // A client edited: its name changes.
        throughEveryFailurePoint(
            kind,
            [&](int n) {
                ASSERT_TRUE(clients.cli().findKey({Value("C2")}));
                name = "Renamed " + std::to_string(n) + (kind == FaultKind::Busy ? "b" : "f");
                clientEdit.beginEdit();
                clients.cli().set("Cli_name", name);
                clientEdit.post();
            },
            [&] { clientEdit.cancel(); },
            [&] {
                Cursor c(co.db(), "cli", true);
                return c.findKey({Value("C2")}) && c.str("Cli_name") == name;
            });
        // A supplier added.
        std::string code;
        throughEveryFailurePoint(
            kind,
            [&](int n) {
                code = "S" + std::to_string(n) + (kind == FaultKind::Busy ? "b" : "f");
                supplierEdit.beginInsert();
                schema::fillBlank(suppliers.sup());
                suppliers.sup().set("Sup_code", code);
                suppliers.sup().set("Sup_name", "Supplier " + code);
                supplierEdit.post();
            },
            [&] { supplierEdit.cancel(); },
            [&] {
                Cursor c(co.db(), "sup", true);
                return c.findKey({Value(code)});
            });
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, StoreFaultTest, VM_BOTH_BACKENDS);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
