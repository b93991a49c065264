#include "modules/chqedit/ui/Tchqedit_dm.h"

#include "common/core/TableOpenError.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"

namespace vm::chqedit {

namespace {

const char* aliasOf(ChequeBook book) {
    return book == ChequeBook::Entries ? "chqeditdb" : "chqrecurdb";
}

} // namespace

Tchqedit_dm::Tchqedit_dm(ChequeBook book, QObject* parent) : MaintenanceData(parent), book_(book) {
    setObjectName(book == ChequeBook::Entries ? QStringLiteral("chqedit_dm") : QStringLiteral("chqrecur_dm"));
}

Tchqedit_dm::~Tchqedit_dm() {
    try {
        close();
    } catch (...) {
        // Closing after a database failure: nothing more can be saved.
    }
}

Cursor& Tchqedit_dm::header() {
    return editor_->header();
}

void Tchqedit_dm::open(const std::string& dataDir, const std::string& companyDir, int sessionId,
                       int language) {
    Session& session = Session::instance();
    session.setAlias(aliasOf(book_), companyDir);
    const char* table = book_ == ChequeBook::Entries ? "apchqh" : "recchqh";
    try {
        company_ = &session.database(aliasOf(book_));
        ChequeEntryEditor::createWorkTables(*company_, session.database(dataDir), book_, sessionId);
        work_ = std::make_unique<Database>(companyDir);
        editor_ = std::make_unique<ChequeEntryEditor>(*company_, *work_, book_, sessionId);
    } catch (const EngineError& e) {
        editor_.reset();
        work_.reset();
        throw core::TableOpenError(table, e.what());
    }
    editor_->setLanguage(language);
}

void Tchqedit_dm::close() {
    if (!editor_) return;
    abandon();
    editor_.reset();
    work_.reset();
    company_ = nullptr;
    Session::instance().closeAll();
}

} // namespace vm::chqedit
