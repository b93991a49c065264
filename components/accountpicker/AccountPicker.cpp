#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition accountPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TAccountPicker";
    s.table = "glm";
    s.keyField = "Glm_account";
    s.numericKey = true;
    s.nameField = "Glm_Description";
    s.columns = {{"Glm_account", "Account", "Compte", 10},
                 {"Glm_Description", "Description", "Description", 40},
                 {"Glm_type", "Type", "Type", 12}};
    s.englishCaption = "Chart of accounts";
    s.frenchCaption = "Plan comptable";
    return s;
}

} // namespace

// The general-ledger account chosen in the company's chart, or 0 when
// cancelled.
extern "C" VM_EXPORT std::int32_t PickAccount(vm::core::TLinkSection link) {
    return vm::components::pickNumber(accountPicker(), link);
}
