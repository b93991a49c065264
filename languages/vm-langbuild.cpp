// Builds the language tables of the languages database from their sources:
//   vm-langbuild <languages directory> <source.txt>...
// Nothing is written unless every source parses and every stem has the same
// rows in every language.
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "languages/LanguageTableWriter.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: vm-langbuild <languages directory> <stem.lang.txt>...\n";
        return 2;
    }
    try {
        std::vector<vm::forms::LanguageSource> sources;
        for (int i = 2; i < argc; ++i)
            sources.push_back(vm::forms::LanguageSource::load(argv[i]));
        vm::forms::LanguageTableWriter::checkComplete(sources);

        std::filesystem::create_directories(argv[1]);
        vm::Session session;
        vm::forms::LanguageTableWriter::write(session.database(argv[1]), sources);
        session.closeAll();
        std::size_t rows = 0;
        for (const auto& s : sources)
            rows += s.rows.size();
        std::cout << "vm-langbuild: " << sources.size() << " tables, " << rows << " rows in " << argv[1]
                  << "\n";
        return 0;
    } catch (const vm::forms::LanguageSourceError& e) {
        std::cerr << "vm-langbuild: error: " << e.what() << "\n";
    } catch (const vm::EngineError& e) {
        std::cerr << "vm-langbuild: engine error " << e.code() << ": " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vm-langbuild: " << e.what() << "\n";
    }
    return 1;
}
