#pragma once
#include "common/forms/MaintenanceData.h"
#include "modules/chqedit/core/ChequeEntryEditor.h"

#include <memory>
#include <string>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::chqedit {

// The data module of the cheque windows: the company connection (alias
// "chqeditdb" or "chqrecurdb"), a second connection to the same directory
// for the session's work tables, and the editor of the entry shown. The
// transaction of each edit of the header is the shared MaintenanceData's.
class Tchqedit_dm : public forms::MaintenanceData {
public:
    explicit Tchqedit_dm(ChequeBook book, QObject* parent = nullptr);
    ~Tchqedit_dm() override;

    ChequeBook book() const { return book_; }
    // Creates the session's work tables and opens every table. Throws
    // core::TableOpenError naming the first table that cannot be opened.
    void open(const std::string& dataDir, const std::string& companyDir, int sessionId, int language);
    // Cancels a pending change, rolls back, lets the tables go and closes
    // the connections.
    void close();
    bool isOpen() const { return editor_ != nullptr; }

    ChequeEntryEditor& editor() { return *editor_; }
    Cursor& header();

protected:
    Cursor& record() override { return header(); }

private:
    ChequeBook book_;
    std::unique_ptr<Database> work_;
    std::unique_ptr<ChequeEntryEditor> editor_;
};

} // namespace vm::chqedit
