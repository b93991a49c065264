#pragma once
#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;

namespace vm::forms {

class MessageList;

// The program's own help window: the pages of one language's help folder
// (ModuleStartup::helpPath()), with a contents page ("index.html") and
// back/forward through the pages seen. Not modal, so the window it helps with
// stays usable beside it. Its texts come from the MainMenu language table.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    // `langCode` chooses the language table of the viewer's own texts.
    HelpViewer(const QString& helpDir, const QString& langCode, QWidget* parent = nullptr);

    // The page of a help context, or the contents page; false when the page
    // is not installed (the viewer then shows nothing new).
    bool showTopic(int context);
    bool showContents();

    // Line 0: the topic is not installed ("%1" is the context number).
    QString message(int line) const;
    QTextBrowser* browser() const { return browser_; }

    // The file of a topic: in the help folder, else in the English folder
    // beside it (a language whose pages are not all written yet). Empty
    // when neither has it.
    static QString topicFile(const QString& helpDir, const QString& fileName);

private:
    bool showFile(const QString& fileName);
    void updateButtons();

    QString helpDir_;
    QTextBrowser* browser_;
    QPushButton* contents_;
    QPushButton* back_;
    QPushButton* forward_;
    QPushButton* close_;
    MessageList* messages_;
    QString designedTitle_;
};

} // namespace vm::forms
