#include "common/forms/ModuleStartup.h"

#include "common/core/LinkStringQt.h"
#include "common/core/RegionalMasks.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/FormTranslation.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>

#ifndef VM_PROJECT_VERSION
#error "VM_PROJECT_VERSION is defined by the build"
#endif

namespace vm::forms {

namespace fs = std::filesystem;

QString ModuleStartup::projectVersion() {
    return QStringLiteral(VM_PROJECT_VERSION);
}

bool ModuleStartup::applyFallbacks() {
    if (!link_.CompanyCode.empty()) return false;
    const core::SettingsStore store;
    const std::string pgm = store.read(core::SettingsStore::kValmorand, "pgmdrive");
    const std::string data = store.read(core::SettingsStore::kValmorand, "datadrive");
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec).parent_path();
    std::string programDir = !pgm.empty() ? pgm + "/Valmorand/bin" : self.string();
    // On a PostgreSQL server the data root is the schema "data" of the URI's
    // database, as schema::dataDirOf has it.
    std::string dataDir = Database::isServerLocation(data) ? data.substr(0, data.find('#')) + "#data"
                          : !data.empty()
                              ? data + "/Valmorand/data"
                              : (fs::path(programDir) / ".." / "data").lexically_normal().string();
    link_.CompanyCode = core::LinkString("1");
    link_.ProgramDir = core::LinkString(programDir);
    link_.DataDir = core::LinkString(dataDir);
    return true;
}

void ModuleStartup::translate(QWidget& form, const std::string& stem) const {
    core::RegionalSettings regional = core::RegionalSettings::current();
    regional.useLanguage(link_.Language);
    core::RegionalSettings::setCurrent(regional);
    translateForm(form, stem, link_.LangCode.str());
}

void ModuleStartup::translateShared(QWidget& form) const {
    try {
        translateForm(form, "MainMenu", link_.LangCode.str());
    } catch (const EngineError&) {
        // Designed texts serve; a missing shared table must not stop a module.
    }
}

bool ModuleStartup::international() {
    return core::RegionalSettings::current().international();
}

void ModuleStartup::setTexts(QWidget& form, const std::vector<std::pair<QString, QString>>& texts) {
    for (const auto& [name, text] : texts) {
        for (QWidget* w : form.findChildren<QWidget*>(name)) {
            auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
            if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
                tabs->setTabText(tabs->indexOf(w), text);
            else if (auto* l = qobject_cast<QLabel*>(w))
                l->setText(text);
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                b->setText(text);
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                g->setTitle(text);
        }
    }
}

int ModuleStartup::applyDateMasks(QWidget& form) {
    int changed = 0;
    const QString mask = DisplayFormat::dateInputMask();
    for (QLineEdit* edit : form.findChildren<QLineEdit*>()) {
        // A QLineEdit keeps the mask without its blank character.
        QString designed = edit->inputMask().section(QLatin1Char(';'), 0, 0);
        if (designed.isEmpty()) continue;
        if (!core::isReplaceableDateMask(designed.toStdString())) continue;
        edit->setInputMask(mask);
        ++changed;
    }
    return changed;
}

QStatusBar* ModuleStartup::makeStatusBar(QWidget* parent) {
    auto* bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (const char* n : {"Panel0", "Panel1", "Panel2"}) {
        auto* p = new QLabel(bar);
        p->setObjectName(QLatin1String(n));
        bar->addWidget(p, n[5] == '0' ? 2 : 1);
    }
    return bar;
}

void ModuleStartup::fillStatusBar(QStatusBar& bar, const QString& version) const {
    const auto panels = bar.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    if (panels.size() != 3) return;
    panels[0]->setText(panels[0]->text() + core::toQString(link_.CompanyCode) + QLatin1Char('-') +
                       core::toQString(link_.CompanyName));
    panels[1]->setText(panels[1]->text() + core::toQString(link_.UserName));
    panels[2]->setText(panels[2]->text() + version);
}

QString ModuleStartup::helpPath() const {
    QString lang = core::toQString(link_.LangCode).toLower();
    if (link_.Language == 1 || lang.isEmpty()) lang = QStringLiteral("en");
    return QDir::cleanPath(core::toQString(link_.ProgramDir) + QStringLiteral("/../help/") + lang);
}

std::string ModuleStartup::companyDirectory() const {
    return link_.DataDir.str() + link_.CompanyCode.str();
}

void ModuleStartup::pointAliases(const std::string& companyAlias, const std::string& systemAlias) const {
    Session::instance().setAlias(companyAlias, companyDirectory());
    if (!systemAlias.empty()) Session::instance().setAlias(systemAlias, link_.DataDir.str());
}

std::unique_ptr<Cursor> ModuleStartup::openTable(const std::string& aliasOrDirectory,
                                                 const std::string& table, bool readOnly,
                                                 QWidget* parent) const {
    try {
        return std::make_unique<Cursor>(Session::instance().database(aliasOrDirectory), table, readOnly);
    } catch (const EngineError&) {
        QMessageBox::critical(parent, QStringLiteral("Valmorand"),
                              tableOpenErrorText(link_.Language, QString::fromStdString(table)));
        requestMainWindowClose();
        return nullptr;
    }
}

QString ModuleStartup::tableOpenErrorText(int language, const QString& table) {
    return language == 1 ? QStringLiteral("Error opening table %1.").arg(table)
                         : QStringLiteral("Erreur lors de l'ouverture de la table %1.").arg(table);
}

void ModuleStartup::reportTableOpenError(QWidget& window, const std::string& table) const {
    QMessageBox::critical(&window, window.windowTitle(),
                          tableOpenErrorText(link_.Language, QString::fromStdString(table)));
    requestMainWindowClose();
    QTimer::singleShot(0, &window, &QWidget::close);
}

void ModuleStartup::requestMainWindowClose() {
    QWidget* target = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->property("vmMainWindow").toBool()) {
            target = w;
            break;
        }
        if (!target && qobject_cast<QMainWindow*>(w)) target = w;
    }
    if (target) QMetaObject::invokeMethod(target, "close", Qt::QueuedConnection);
}

} // namespace vm::forms
