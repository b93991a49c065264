#include "shell/ShellMenuBar.h"

#include "shell/core/MenuCatalog.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace vm::shell {
namespace {

QMenu* newMenu(QWidget* parent, const char* name, const QString& title) {
    auto* m = new QMenu(title, parent);
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

} // namespace

QAction* ShellMenuBar::addOption(QMenu& menu, const std::string& name, const std::string& caption) {
    auto* a = new QAction(QString::fromStdString(caption), &menu);
    const QString n = QString::fromStdString(name);
    a->setObjectName(n);
    menu.addAction(a);
    actions_.insert(n, a);
    connect(a, &QAction::triggered, this, [this, n] { emit optionChosen(n); });
    return a;
}

ShellMenuBar::ShellMenuBar(QMainWindow& window) : QObject(&window) {
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    for (const LedgerMenu& def : MenuCatalog::ledgerMenus()) {
        auto* menu = new QMenu(QString::fromStdString(def.caption), bar);
        menu->setObjectName(QString::fromStdString(def.name));
        ledgerMenus_.insert(def.tag, menu);
        if (def.tag == MenuCatalog::Tracker) {
            trackerOpen_ = newMenu(menu, "OpenDatabase1", QStringLiteral("Open database"));
            menu->addMenu(trackerOpen_);
        }
        for (const auto& q : def.quick)
            addOption(*menu, q.name, q.caption);
        if (!def.quick.empty() || def.tag == MenuCatalog::Tracker) menu->addSeparator();
        for (const auto& g : def.groups) {
            auto* sub = new QMenu(QString::fromStdString(g.caption), menu);
            sub->setObjectName(QString::fromStdString(g.name));
            for (const auto& o : g.options)
                addOption(*sub, o.name, o.caption);
            // An empty group keeps its place and its number but offers
            // nothing.
            sub->menuAction()->setEnabled(!g.options.empty());
            menu->addMenu(sub);
        }
        bar->addMenu(menu);
    }
    // The tracker menu is reached only through its options' shortcuts.
    setLedgerVisible(MenuCatalog::Tracker, false);

    QMenu* options = newMenu(bar, "Options1", QStringLiteral("Options"));
    company_ = newMenu(options, "Company1", QStringLiteral("Company"));
    printer_ = newMenu(options, "Printer1", QStringLiteral("Printer"));
    language_ = newMenu(options, "Language1", QStringLiteral("Language"));
    QMenu* desktop = newMenu(options, "Desktop1", QStringLiteral("Desktop"));
    for (auto [name, caption] :
         {std::pair{"ChangeProperties1", "Change properties"}, std::pair{"AddShortcut1", "Add shortcut"}}) {
        auto* a = desktop->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false); // the desktop editor is not part of this desktop
        actions_.insert(a->objectName(), a);
    }
    options->addMenu(company_);
    options->addMenu(printer_);
    options->addMenu(language_);
    options->addMenu(desktop);
    bar->addMenu(options);

    tools_ = newMenu(bar, "Tools1", QStringLiteral("Tools"));
    bar->addMenu(tools_);

    QMenu* help = newMenu(bar, "Help1", QStringLiteral("Help"));
    helpTopics_ = help->addAction(QStringLiteral("Help topics"));
    helpTopics_->setObjectName(QStringLiteral("HelpTopics1"));
    helpTopics_->setShortcut(QKeySequence::HelpContents);
    help->addSeparator();
    about_ = help->addAction(QStringLiteral("About"));
    about_->setObjectName(QStringLiteral("About1"));
    contact_ = help->addAction(QStringLiteral("Contact us"));
    contact_->setObjectName(QStringLiteral("ContactUs1"));
    bar->addMenu(help);
    for (QAction* a : {helpTopics_, about_, contact_})
        actions_.insert(a->objectName(), a);

    exit_ = new QAction(QStringLiteral("Exit"), bar);
    exit_->setObjectName(QStringLiteral("Exit1"));
    bar->addAction(exit_);
    actions_.insert(exit_->objectName(), exit_);
}

void ShellMenuBar::applyRights(const std::map<std::string, bool>& states) {
    for (const auto& [name, enabled] : states)
        if (QAction* a = action(QString::fromStdString(name))) a->setEnabled(enabled);
}

void ShellMenuBar::setLedgerVisible(int tag, bool visible) {
    if (QMenu* m = ledgerMenu(tag)) m->menuAction()->setVisible(visible);
}

OptionCatalogue::OptionState ShellMenuBar::optionState(const std::string& name) const {
    OptionCatalogue::OptionState st;
    if (QAction* a = action(QString::fromStdString(name))) {
        st.caption = a->text().toStdString();
        st.visible = a->isVisible();
        st.enabled = a->isEnabled();
    } else {
        st.visible = false;
        st.enabled = false;
    }
    return st;
}

} // namespace vm::shell
