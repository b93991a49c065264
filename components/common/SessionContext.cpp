#include "components/common/SessionContext.h"

namespace vm::components {

SessionContext SessionContext::from(const core::TLinkSection& link) {
    SessionContext c;
    c.language = link.Language;
    c.langCode = link.LangCode.str();
    c.programDir = link.ProgramDir.str();
    c.dataDir = link.DataDir.str();
    c.companyCode = link.CompanyCode.str();
    return c;
}

} // namespace vm::components
