#include "common/forms/RecordMaintenance.h"

#include "engine/Cursor.h"

namespace vm::forms {

RecordMaintenance::RecordMaintenance(RecordEditTransaction transaction, Cursor& row, MaintenanceSpec spec,
                                     MaintenanceRules rules, MaintenanceView& view)
    : transaction_(std::move(transaction)), row_(row), spec_(std::move(spec)), rules_(std::move(rules)),
      view_(view) {}

RecordMaintenance::Mode RecordMaintenance::mode() const {
    switch (row_.state()) {
    case Cursor::State::Edit:
        return Mode::Edit;
    case Cursor::State::Insert:
        return Mode::Insert;
    default:
        return Mode::Browse;
    }
}

void RecordMaintenance::start() {
    view_.setDataControls(false);
    view_.setCodeField(true, true);
    row_.first();
    afterScroll();
    view_.focusCode();
}

void RecordMaintenance::backToBrowse() {
    view_.setDataControls(false);
    view_.setCodeField(true, true);
    view_.focusCode();
    codeTyped_ = false;
}

void RecordMaintenance::insert() {
    transaction_.beginInsert();
    view_.newRecordChoices();
    if (rules_.newRecordDefaults) rules_.newRecordDefaults(row_);
    view_.reload();
    view_.showRecord();
    view_.setCodeField(true, false);
    view_.setDataControls(true);
    view_.showPage(spec_.generalPage);
    view_.focusCode();
    codeTyped_ = false;
}

void RecordMaintenance::edit() {
    transaction_.beginEdit();
    view_.reload();
    view_.setDataControls(true);
    view_.setCodeField(false, false);
    view_.showPage(spec_.generalPage);
    view_.focusName();
}

void RecordMaintenance::post() {
    if (const auto refusal = rules_.postRefusal(row_)) {
        view_.reload();
        if (refusal->message != MaintenanceRefusal::kNone)
            view_.showMessage(refusal->message, spec_.plainMessages.count(refusal->message) > 0);
        view_.showPage(refusal->page);
        view_.focusField(refusal->field);
        return;
    }
    if (rules_.writeDetails) rules_.writeDetails(row_);
    transaction_.post();
    view_.showPage(spec_.generalPage);
    backToBrowse();
    view_.reload();
}

void RecordMaintenance::cancel() {
    transaction_.cancel();
    view_.reload();
    view_.showRecord();
    view_.showPage(spec_.generalPage);
    backToBrowse();
}

void RecordMaintenance::remove() {
    transaction_.rollbackIfOpen();
    if (!row_.hasRow()) return;
    std::string name = row_.str(spec_.codeField);
    if (!spec_.nameField.empty() && !row_.str(spec_.nameField).empty())
        name += " (" + row_.str(spec_.nameField) + ")";
    if (spec_.deleteQuestion != MaintenanceRefusal::kNone && !view_.confirm(spec_.deleteQuestion, name))
        return;
    const bool removed = transaction_.removeUnless([this] {
        if (rules_.hasLedgerRows && rules_.hasLedgerRows(row_.str(spec_.codeField))) return true;
        if (rules_.removeDetails) rules_.removeDetails(row_);
        return false;
    });
    if (!removed) {
        view_.reload();
        view_.showMessage(spec_.deleteRefusedMessage,
                          spec_.plainMessages.count(spec_.deleteRefusedMessage) > 0);
        return;
    }
    view_.showPage(spec_.generalPage);
    backToBrowse();
    view_.reload();
}

void RecordMaintenance::afterMoveAction() {
    backToBrowse();
}

void RecordMaintenance::codeEdited() {
    if (browsing()) codeTyped_ = true;
}

bool RecordMaintenance::codeExitPending() const {
    return codeTyped_ || mode() == Mode::Insert;
}

void RecordMaintenance::codeExit(const std::string& code) {
    if (mode() == Mode::Insert) {
        if (!code.empty() && rules_.exists(code)) {
            // The record is there already: edit it instead of a duplicate.
            transaction_.cancel();
            openForEdit(code);
        } else {
            if (rules_.newCodeDefaults) rules_.newCodeDefaults(row_);
            view_.reload();
            view_.setDataControls(true);
            view_.focusName();
        }
        view_.reload();
        return;
    }
    if (!browsing() || !codeTyped_) return;
    codeTyped_ = false;
    if (rules_.exists(code)) {
        openForEdit(code);
    } else {
        view_.showMessage(spec_.codeNotFoundMessage,
                          spec_.plainMessages.count(spec_.codeNotFoundMessage) > 0);
        view_.reload();
        view_.focusCode();
    }
    view_.reload();
}

void RecordMaintenance::openForEdit(const std::string& code) {
    row_.findKey({Value(code)});
    transaction_.beginEdit();
    view_.reload();
    view_.showRecord();
    view_.setCodeField(false, false);
    view_.setDataControls(true);
    view_.focusName();
}

void RecordMaintenance::afterScroll() {
    if (inScroll_) return;
    inScroll_ = true;
    // Another workstation's changes show as soon as the user moves, unless
    // this one is in the middle of its own edit.
    if (!transaction_.inTransaction() && browsing()) row_.refresh();
    view_.showRecord();
    inScroll_ = false;
    view_.reload();
}

void RecordMaintenance::enteredCreatedField() {
    if (!editing() || spec_.createdField.empty() || !row_.isNull(spec_.createdField)) return;
    row_.set(spec_.createdField, Date::today());
    view_.reload();
}

bool RecordMaintenance::cancelAsking(int question) {
    if (!editing()) return false;
    if (row_.modified() && !view_.confirm(question, {})) return false;
    cancel();
    return true;
}

} // namespace vm::forms
