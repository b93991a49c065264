#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition salesmanPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TSalesmanPicker";
    s.table = "slsm";
    s.keyField = "Slsm_code";
    s.uniqueKey = false; // the salesman table has no primary key
    s.nameField = "Slsm_nom";
    s.columns = {{"Slsm_code", "Code", "Code", 10}, {"Slsm_nom", "Name", "Nom", 36}};
    s.englishCaption = "List of salesmen";
    s.frenchCaption = "Liste des vendeurs";
    return s;
}

} // namespace

// The salesman chosen in the company's list, or "" when cancelled.
extern "C" VM_EXPORT vm::core::LinkString PickSalesman(vm::core::TLinkSection link) {
    return vm::components::pickText(salesmanPicker(), link);
}
