// The Tools-menu maintenance shape of the entry point: the record and the
// two option lists, echoed to VM_TESTMOD_REPORT.
#include "common/core/LinkSection.h"

#include <cstdlib>
#include <fstream>

extern "C" VM_EXPORT std::int32_t ShowDllForm(vm::core::TLinkSection link, const char* captions,
                                              const char* codes) {
    const char* path = std::getenv("VM_TESTMOD_REPORT");
    std::ofstream out(path ? path : "/dev/null", std::ios::binary);
    out << "company=" << link.CompanyCode.view() << "\n[captions]\n" << captions << "[codes]\n" << codes;
    return 7;
}
