#include "shell/PrinterList.h"

#include <QPrinterInfo>

namespace vm::shell {

PrinterList PrinterList::system(const QString& pdfCaption) {
    PrinterList list;
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters())
        list.names_ << p.printerName();
    if (list.names_.isEmpty()) {
        list.names_ << pdfCaption;
        list.pdfOnly_ = true;
        return list;
    }
    const int def = list.names_.indexOf(QPrinterInfo::defaultPrinterName());
    list.defaultIndex_ = def >= 0 ? def : 0;
    return list;
}

} // namespace vm::shell
