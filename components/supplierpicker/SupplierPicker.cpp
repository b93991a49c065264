#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition supplierPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TSupplierPicker";
    s.table = "sup";
    s.keyField = "Sup_code";
    s.nameField = "Sup_name";
    s.columns = {{"Sup_code", "Code", "Code", 10},
                 {"Sup_name", "Name", "Nom", 32},
                 {"Sup_city", "City", "Ville", 18},
                 {"Sup_tel", "Telephone", "Téléphone", 14}};
    // Supplier maintenance recognises the open picker by this French caption.
    s.englishCaption = "List of suppliers";
    s.frenchCaption = "Liste des fournisseurs";
    return s;
}

} // namespace

// The supplier chosen in the company's supplier list, or "" when cancelled.
extern "C" VM_EXPORT vm::core::LinkString PickSupplier(vm::core::TLinkSection link) {
    return vm::components::pickText(supplierPicker(), link);
}
