#pragma once

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <functional>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

// Shows pages of a help collection, fetching them from the help engine. A link to another help
// page opens here; only web and mail addresses leave for the desktop's programs.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    HelpBrowser(QHelpEngine *engine, QWidget *parent);
    QVariant loadResource(int type, const QUrl &name) override;
    // Hands an address to the desktop; replaceable for tests.
    std::function<void(const QUrl &)> openOutside;

private:
    QHelpEngine *m_engine; // not owned
};

// The program's help: a contents page and a keyword index beside the page shown. Owns its help
// engine, which reads the compiled collection.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(const QString &collectionFile, QWidget *parent = nullptr);
    ~HelpWindow() override;

    // The contents, with the first page shown.
    void showContents();
    // The keyword index filtered by `keyword` (all keywords when empty), its box ready for
    // typing.
    void showKeywordSearch(const QString &keyword = {});
    // Opens the page of the index's current keyword, as Enter in the box does.
    void openCurrentKeyword();

    QUrl currentPage() const;
    HelpBrowser *page() const { return m_page; }
    QString currentTab() const; // "Contents" or "Index"
    QLineEdit *keywordBox() const { return m_keyword; }
    QHelpEngine *engine() const { return m_engine; }

private:
    void showPage(const QUrl &url);

    QHelpEngine *m_engine = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_keyword = nullptr;
    HelpBrowser *m_page = nullptr;
};

// Where the program's help collection is: beside the program, in help/.
QString helpCollectionFile();
