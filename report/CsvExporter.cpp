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

std::string CsvExporter::text(const ReportDocument& doc) {
    std::string out;
    auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) out += ',';
            out += quoted(cells[i]);
        }
        out += '\n';
    };
    line(doc.csvColumns);
    for (const auto& l : doc.exportLines)
        line(l.cells);
    return out;
}

bool CsvExporter::write(const ReportDocument& doc, const std::string& path, std::string* error) {
    return FileWriter::writeAll(path, text(doc), error);
}

} // namespace vm::report
