#include "packaging/launcher/FirstStart.h"

#include "common/core/SettingsStore.h"
#include "schema/Schema.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

#include <filesystem>

namespace fs = std::filesystem;

namespace vm::launcher {

FirstStart::FirstStart(const core::SettingsStore& store, std::string programDir)
    : store_(store), programDir_(std::move(programDir)) {}

bool FirstStart::needed() const {
    return store_.read(core::SettingsStore::kValmorand, "datadrive").empty();
}

std::string FirstStart::programDrive() const {
    return fs::path(programDir_).parent_path().parent_path().lexically_normal().string();
}

std::string FirstStart::defaultDataDrive() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).toStdString();
}

QString FirstStart::adminProgram() const {
    return QString::fromStdString(programDir_) + QStringLiteral("/valmorand-admin");
}

QString FirstStart::desktopProgram() const {
    return QString::fromStdString(programDir_) + QStringLiteral("/deskmain");
}

std::vector<QStringList> FirstStart::commands(const std::string& dataDrive, bool demo, int language) const {
    if (schema::isDataRoot(schema::dataDirOf(dataDrive))) return {};
    const QString drive = QString::fromStdString(dataDrive);
    std::vector<QStringList> runs{{QStringLiteral("init"), drive}};
    if (demo)
        runs.push_back({QStringLiteral("demo"), drive, QStringLiteral("--language"),
                        language == 2 ? QStringLiteral("fr") : QStringLiteral("en")});
    return runs;
}

void FirstStart::store(const std::string& dataDrive, int language) const {
    using core::SettingsStore;
    store_.write(SettingsStore::kValmorand, "pgmdrive", programDrive());
    store_.write(SettingsStore::kValmorand, "datadrive", dataDrive);
    store_.write(SettingsStore::kValmorand, "language", std::to_string(language));
}

void FirstStart::completeProgramDrive() const {
    if (store_.read(core::SettingsStore::kValmorand, "pgmdrive").empty())
        store_.write(core::SettingsStore::kValmorand, "pgmdrive", programDrive());
}

int systemLanguage() {
    return QLocale::system().language() == QLocale::French ? 2 : 1;
}

} // namespace vm::launcher
