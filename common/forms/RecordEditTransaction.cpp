#include "common/forms/RecordEditTransaction.h"

#include "common/forms/LockRetry.h"
#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::forms {

RecordEditTransaction::RecordEditTransaction(Database& db, Cursor& cursor, TErrorForm* errorForm,
                                             QWidget* owner, std::string langCode)
    : db_(db), cursor_(cursor), errorForm_(errorForm), owner_(owner), langCode_(std::move(langCode)) {}

bool RecordEditTransaction::inTransaction() const {
    return db_.inTransaction();
}

void RecordEditTransaction::withRetry(const std::function<void()>& operation) {
    LockRetry retry(errorForm_, owner_);
    retry.setLanguage(langCode_);
    retry.run(operation);
}

void RecordEditTransaction::rollbackIfOpen() {
    if (inTransaction()) withRetry([this] { db_.rollback(); });
}

void RecordEditTransaction::inTransactionDo(const std::function<void()>& action) {
    try {
        withRetry([&] {
            if (!db_.inTransaction()) db_.startTransaction();
            action();
        });
    } catch (...) {
        if (db_.inTransaction()) db_.rollback();
        throw;
    }
}

void RecordEditTransaction::beginEdit() {
    rollbackIfOpen();
    inTransactionDo([this] { cursor_.edit(); });
}

void RecordEditTransaction::beginInsert() {
    rollbackIfOpen();
    withRetry([this] { db_.startTransaction(); });
    cursor_.insert();
}

void RecordEditTransaction::post() {
    cursor_.post();
    if (inTransaction()) withRetry([this] { db_.commit(); });
}

void RecordEditTransaction::cancel() {
    if (cursor_.state() != Cursor::State::Browse) cursor_.cancel();
    rollbackIfOpen();
}

void RecordEditTransaction::remove() {
    rollbackIfOpen();
    inTransactionDo([this] { cursor_.remove(); });
    withRetry([this] { db_.commit(); });
}

bool RecordEditTransaction::removeUnless(const std::function<bool()>& refused) {
    rollbackIfOpen();
    try {
        withRetry([this] {
            if (!db_.inTransaction()) db_.startTransaction(true);
            if (cursor_.state() != Cursor::State::Edit) cursor_.edit();
        });
        if (refused()) {
            cursor_.cancel();
            db_.rollback();
            return false;
        }
        cursor_.remove();
    } catch (...) {
        if (cursor_.state() == Cursor::State::Edit) cursor_.cancel();
        if (db_.inTransaction()) db_.rollback();
        throw;
    }
    withRetry([this] { db_.commit(); });
    return true;
}

} // namespace vm::forms
