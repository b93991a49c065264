#include "report/ReportExporter.h"

#include "report/CsvExporter.h"
#include "report/PdfExporter.h"
#include "report/TextExporter.h"

namespace vm::report {

bool ReportExporter::write(const ReportDocument& doc, Format format, const std::string& path,
                           std::string* error) {
    switch (format) {
    case Format::Pdf:
        return PdfExporter::write(doc, path, error);
    case Format::Csv:
        return CsvExporter::write(doc, path, error);
    case Format::Text:
        return TextExporter::write(doc, path, error);
    }
    if (error) *error = "unknown export format";
    return false;
}

WriteOutcome ReportExporter::write(PageStream& pages, Format format, const std::string& path,
                                   std::string* error, const Progress& progress) {
    switch (format) {
    case Format::Pdf:
        return PdfExporter::write(pages, path, error, progress);
    case Format::Csv:
        return CsvExporter::write(pages, path, error, progress);
    case Format::Text:
        return TextExporter::write(pages, path, error, progress);
    }
    if (error) *error = "unknown export format";
    return WriteOutcome::Failed;
}

const char* ReportExporter::extension(Format format) {
    switch (format) {
    case Format::Pdf:
        return "pdf";
    case Format::Csv:
        return "csv";
    case Format::Text:
        return "txt";
    }
    return "";
}

std::string ReportExporter::cleanFileName(const std::string& title) {
    std::string out;
    for (unsigned char c : title) {
        if (c < 0x20 || c == 0x7f ||
            std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            out += '_';
        else
            out += static_cast<char>(c);
    }
    std::size_t start = out.find_first_not_of(". ");
    out = start == std::string::npos ? std::string() : out.substr(start);
    while (!out.empty() && (out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    if (out.size() > 120) { // keep whole UTF-8 characters
        std::size_t cut = 120;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    return out.empty() ? "report" : out;
}

} // namespace vm::report
