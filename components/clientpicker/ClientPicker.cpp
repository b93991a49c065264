#include "components/common/PickerExports.h"

namespace {

vm::components::PickerDefinition clientPicker() {
    vm::components::PickerDefinition s;
    s.formName = "TClientPicker";
    s.table = "cli";
    s.keyField = "Cli_code";
    s.nameField = "Cli_name";
    s.columns = {{"Cli_code", "Code", "Code", 10},
                 {"Cli_name", "Name", "Nom", 32},
                 {"Cli_city", "City", "Ville", 18},
                 {"Cli_tel", "Telephone", "Téléphone", 14}};
    s.englishCaption = "List of clients";
    s.frenchCaption = "Liste des clients";
    return s;
}

} // namespace

// The client chosen in the company's client list, or "" when cancelled.
extern "C" VM_EXPORT vm::core::LinkString PickClient(vm::core::TLinkSection link) {
    return vm::components::pickText(clientPicker(), link);
}
