#include "report/CsvExporter.h"

#include "report/FileWriter.h"
#include "report/ReportDocument.h"

namespace vm::report {

std::string CsvExporter::quoted(const std::string& cell) {
    bool needs = cell.find_first_of(",\"\r\n") != std::string::npos ||
                 (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
    if (!needs) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void CsvExporter::appendLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out += ',';
        out += quoted(cells[i]);
    }
    out += '\n';
}

std::string CsvExporter::text(const ReportDocument& doc) {
    std::string out;
    appendLine(out, doc.csvColumns);
    for (const auto& l : doc.exportLines)
        appendLine(out, l.cells);
    return out;
}

WriteOutcome CsvExporter::write(PageStream& pages, const std::string& path, std::string* error,
                                const Progress& progress) {
    AtomicFile file;
    if (!file.open(path, error)) return WriteOutcome::Failed;
    std::string out;
    appendLine(out, pages.info().csvColumns);
    DocumentPage page;
    for (int n = 1; pages.next(page); ++n) {
        for (const auto& l : page.exportLines)
            appendLine(out, l.cells);
        if (!file.write(out)) break;
        out.clear();
        if (progress && !progress(n)) {
            file.discard();
            return WriteOutcome::Cancelled;
        }
    }
    file.write(out);
    return file.commit(error) ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool CsvExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    return FileWriter::writeAll(path, text(doc), error);
}

} // namespace vm::report
