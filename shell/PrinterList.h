#pragma once
#include <QStringList>

namespace vm::shell {

// The printers offered under Options/Printer, in the order of the system's
// list, so that an index means the same printer to the shell and to the
// modules. Without any system printer one entry stands for printing to a
// PDF file, so that printing always has a target.
class PrinterList {
public:
    static PrinterList system(const QString& pdfCaption);

    const QStringList& names() const { return names_; }
    bool isPdfOnly() const { return pdfOnly_; }
    int defaultIndex() const { return defaultIndex_; }
    // -1 when no printer has that name.
    int indexOf(const QString& name) const { return pdfOnly_ || name.isEmpty() ? -1 : names_.indexOf(name); }

private:
    QStringList names_;
    bool pdfOnly_ = false;
    int defaultIndex_ = 0;
};

} // namespace vm::shell
