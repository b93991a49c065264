#include "shell/ShellMenuBar.h"

#include "shell/core/MenuCatalog.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>

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

ShellMenuBar::ShellMenuBar(QMainWindow& window) : QObject(&window), window_(window) {
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

    // F10 takes the keyboard to the menu bar, as Alt does: the first menu
    // opens and the arrow keys move from there.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    f10->setObjectName(QStringLiteral("MenuBarKey"));
    connect(f10, &QShortcut::activated, bar, [bar] {
        for (QAction* a : bar->actions())
            if (a->isVisible() && a->isEnabled()) {
                bar->setActiveAction(a);
                return;
            }
    });
    for (QMenu* m : bar->findChildren<QMenu*>())
        m->setToolTipsVisible(true);
    assignAccessKeys();
}

void ShellMenuBar::assignAccessKeys(const QList<QAction*>& siblings) {
    QSet<QChar> used;
    QList<QAction*> pending;
    auto keyOf = [](const QString& text) -> QChar {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != QLatin1Char('&')) continue;
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
        return {};
    };
    // Without its access key, but with its literal "&&" kept.
    auto plain = [](QString text) {
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        return text.replace(QStringLiteral("\x01"), QStringLiteral("&&"));
    };
    for (QAction* a : siblings) {
        if (a->isSeparator() || a->text().isEmpty()) continue;
        const QChar k = keyOf(a->text());
        if (!k.isNull() && !used.contains(k)) {
            used.insert(k);
        } else {
            a->setText(plain(a->text()));
            pending.append(a);
        }
    }
    for (QAction* a : pending) {
        const QString text = a->text();
        qsizetype at = -1;
        // First letters of words, then any letter or digit.
        for (int pass = 0; pass < 2 && at < 0; ++pass)
            for (qsizetype i = 0; i < text.size() && at < 0; ++i) {
                const QChar c = text[i];
                if (!c.isLetterOrNumber() || c == QLatin1Char('&')) continue;
                if (pass == 0 && i > 0 && text[i - 1].isLetterOrNumber()) continue;
                if (!used.contains(c.toLower())) at = i;
            }
        if (at < 0) continue; // every letter taken: no key rather than a clash
        used.insert(text[at].toLower());
        a->setText(text.left(at) + QLatin1Char('&') + text.mid(at));
    }
}

void ShellMenuBar::assignAccessKeys() {
    QMenuBar* bar = window_.menuBar();
    assignAccessKeys(bar->actions());
    for (QMenu* m : bar->findChildren<QMenu*>())
        assignAccessKeys(m->actions());
}

void ShellMenuBar::markUnavailable(const std::function<bool(const std::string&)>& installed,
                                   const QString& notInstalled, const QString& rightsForbid) {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        QAction* a = it.value();
        if (!rightsState_.contains(it.key())) continue;
        const bool allowed = rightsState_.value(it.key());
        const bool present = !allowed || installed(it.key().toStdString());
        a->setEnabled(allowed && present);
        a->setToolTip(!allowed ? rightsForbid : !present ? notInstalled : QString());
    }
}

QString ShellMenuBar::caption(const QAction& entry) {
    QString text = entry.text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

QString ShellMenuBar::literal(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool ShellMenuBar::allowedByRights(const QString& name) const {
    QAction* a = action(name);
    return rightsState_.value(name, a && a->isEnabled());
}

int ShellMenuBar::widthFor(const std::function<QString(const QAction&)>& caption) const {
    // Measured on the bar itself (styled as shown), then given back.
    QMenuBar* bar = window_.menuBar();
    QList<std::pair<QAction*, QString>> saved;
    for (QAction* a : bar->actions()) {
        saved.append({a, a->text()});
        a->setText(caption(*a));
    }
    const int width = bar->sizeHint().width();
    for (const auto& [a, text] : saved)
        a->setText(text);
    return width;
}

void ShellMenuBar::applyRights(const std::map<std::string, bool>& states) {
    rightsState_.clear();
    for (const auto& [name, enabled] : states)
        if (QAction* a = action(QString::fromStdString(name))) {
            a->setEnabled(enabled);
            rightsState_.insert(a->objectName(), enabled);
        }
}

void ShellMenuBar::setLedgerVisible(int tag, bool visible) {
    if (QMenu* m = ledgerMenu(tag)) m->menuAction()->setVisible(visible);
}

OptionCatalogue::OptionState ShellMenuBar::optionState(const std::string& name) const {
    OptionCatalogue::OptionState st;
    if (QAction* a = action(QString::fromStdString(name))) {
        st.caption = caption(*a).toStdString();
        st.visible = a->isVisible();
        st.enabled = a->isEnabled();
    } else {
        st.visible = false;
        st.enabled = false;
    }
    return st;
}

} // namespace vm::shell
