#include "components/common/PickerExports.h"

namespace {

// Suppliers take their territories from the same shared table as clients.
vm::components::PickerDefinition vendTerritoryPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TVendTerritoryPicker";
    s.table = "arterr";
    s.systemTable = true;
    s.keyField = "Arterr_code";
    s.nameField = "Arterr_desc";
    s.columns = {{"Arterr_code", "Code", "Code", 6}, {"Arterr_desc", "Description", "Description", 40}};
    s.englishCaption = "Supplier territories";
    s.frenchCaption = "Territoires des fournisseurs";
    return s;
}

} // namespace

// The territory chosen for a supplier, or "" when cancelled.
extern "C" VM_EXPORT vm::core::LinkString PickVendTerritory(vm::core::TLinkSection link) {
    return vm::components::pickText(vendTerritoryPicker(), link);
}
