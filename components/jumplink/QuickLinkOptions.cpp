#include "components/jumplink/QuickLinkOptions.h"

namespace vm::components {

const std::vector<QuickLinkOption>& quickLinkOptions() {
    static const std::vector<QuickLinkOption> options = {
        {"custmaint", "Maintenance of clients", "Entretien des clients", false},
        {"cashrcpt", "Cash receipts", "Encaissements", false},
        {"custview", "Display of clients", "Affichage des clients", false},
        {"rcvaging", "Aging of accounts", "Âge des comptes", false},
        {"custstmt", "Account statements", "États de compte", false},
        {"custlist", "List of clients", "Liste des clients", false},
        {"monthend", "End of month procedure", "Procédure de fin de mois", false},
        {"vendmaint", "Maintenance of suppliers", "Entretien des fournisseurs", true},
        {"purchjrnl", "Purchases", "Achats", true},
        {"cashdisb", "Cash disbursements", "Déboursés", true},
        {"chqedit", "Edit cheque entries", "Modification des chèques", true},
        {"chqrecur", "Recurring cheque entries", "Chèques récurrents", true},
        {"payaging", "Aging of accounts", "Âge des comptes", true},
        {"chqissue", "List of cheques to be issued", "Liste des chèques à émettre", true},
        {"vendlist", "List of suppliers", "Liste des fournisseurs", true},
    };
    return options;
}

} // namespace vm::components
