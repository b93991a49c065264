#include "ClientCompany.h"
#include "GuiSupport.h"

#include "common/forms/RecordMaintenance.h"
#include "engine/EngineError.h"
#include "modules/custmaint/core/ClientRules.h"
#include "modules/custmaint/core/ClientTables.h"

using namespace vm;
using namespace vm::custmaint;

namespace {

// The controller without a window: what it asks of the view is recorded.
class RecordingView : public forms::MaintenanceView {
public:
    std::vector<int> messages;
    void setDataControls(bool) override {}
    void setCodeField(bool, bool) override {}
    void focusCode() override {}
    void focusName() override {}
    void focusField(int) override {}
    void showPage(int) override {}
    void showMessage(int message, bool) override { messages.push_back(message); }
    bool confirm(int, const std::string&) override { return true; }
    void reload() override {}
    void showRecord() override {}
    void newRecordChoices() override {}
};

// A receipt posted by another workstation between the ledger check and the
// delete would leave ledger rows for a deleted client: the check runs only
// once this session holds the write transaction and the client's lock.
TEST(RecordMaintenanceTest, DeleteChecksTheLedgerUnderTheRowLockAndTheWriteTransaction) {
    ClientCompany co;
    ClientCompany::add(co.company(), "cli", {{"Cli_code", "C200"}});
    ClientCompany::add(co.company(), "car", {{"Car_client", "C200"}, {"Car_invoice", "I9"}});
    Session own; // this window's connection, apart from the other workstation's
    Database& db = own.database(co.companyDir());
    ClientTables tables(db, own.database(co.dataDir()));
    ClientRules clientRules(tables);

    bool writing = false;
    bool otherLockedOut = false;
    forms::MaintenanceRules rules;
    rules.exists = [&](const std::string& code) { return clientRules.clientExists(code); };
    rules.postRefusal = [](Cursor&) { return std::optional<forms::MaintenanceRefusal>(); };
    rules.hasLedgerRows = [&](const std::string& code) {
        writing = db.writing();
        Cursor other(co.company(), "cli");
        other.findKey({Value(code)});
        try {
            other.edit();
            other.cancel();
        } catch (const EngineError& e) {
            otherLockedOut = e.isLock();
        }
        return clientRules.hasLedgerRows(code);
    };
    forms::MaintenanceSpec spec;
    spec.codeField = "Cli_code";
    spec.deleteRefusedMessage = kMsgHasLedgerRows;
    spec.deleteQuestion = kMsgDeleteNamed;
    RecordingView view;
    forms::RecordMaintenance m(forms::RecordEditTransaction(db, tables.cli(), nullptr, nullptr, "en"),
                               tables.cli(), spec, rules, view);

    ASSERT_TRUE(tables.cli().findKey({Value("C100")}));
    m.remove();
    EXPECT_TRUE(writing);
    EXPECT_TRUE(otherLockedOut);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_FALSE(clientRules.clientExists("C100"));

    // With ledger rows: refused, the row stays and nothing is left open or locked.
    ASSERT_TRUE(tables.cli().findKey({Value("C200")}));
    m.remove();
    EXPECT_EQ(view.messages, std::vector<int>{kMsgHasLedgerRows});
    EXPECT_TRUE(clientRules.clientExists("C200"));
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(tables.cli().state(), Cursor::State::Browse);
    Cursor other(co.company(), "cli");
    ASSERT_TRUE(other.findKey({Value("C200")}));
    EXPECT_NO_THROW(other.edit());
    other.cancel();
}

} // namespace
