#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition termsPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TTermsPicker";
    s.table = "arterms";
    s.systemTable = true; // shared by all companies
    s.keyField = "Arterms_code";
    s.numericKey = true;
    s.nameField = "Arterms_desc";
    s.columns = {{"Arterms_code", "Code", "Code", 6},
                 {"Arterms_desc", "Description", "Description", 40},
                 {"Arterms_days", "Days", "Jours", 6}};
    s.englishCaption = "Terms of payment";
    s.frenchCaption = "Conditions de paiement";
    return s;
}

} // namespace

// The credit terms chosen, or 0 when cancelled.
extern "C" VM_EXPORT std::int32_t PickTerms(vm::core::TLinkSection link) {
    return vm::components::pickNumber(termsPicker(), link);
}
