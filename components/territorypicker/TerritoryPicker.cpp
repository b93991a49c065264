#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition territoryPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TTerritoryPicker";
    s.table = "arterr";
    s.systemTable = true; // shared by all companies
    s.keyField = "Arterr_code";
    s.nameField = "Arterr_desc";
    s.columns = {{"Arterr_code", "Code", "Code", 6}, {"Arterr_desc", "Description", "Description", 40}};
    s.englishCaption = "List of territories";
    s.frenchCaption = "Liste des territoires";
    return s;
}

} // namespace

// The sales territory chosen for a client, or "" when cancelled.
extern "C" VM_EXPORT vm::core::LinkString PickTerritory(vm::core::TLinkSection link) {
    return vm::components::pickText(territoryPicker(), link);
}
