#pragma once

#include <QList>
#include <QString>

// The program's title, used on every message box.
QString appTitle();

enum class MessageIcon { None, Stop, Question, Exclamation, Information };

// Where the core reports input errors and failed lookups. The GUI shows a message box, the
// command line tool writes to stderr, tests and batch runs record what was said.
class MessageService
{
public:
    virtual ~MessageService();
    virtual void showMessage(const QString &text, MessageIcon icon, const QString &title) = 0;
    void show(const QString &text, MessageIcon icon) { showMessage(text, icon, appTitle()); }
};

// One line per message on stderr: the text, or "TITLE: TEXT" for scripts that check a program
// run without a display.
class StderrMessageService final : public MessageService
{
public:
    explicit StderrMessageService(bool withTitle = false)
        : m_withTitle(withTitle)
    {}
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;

private:
    bool m_withTitle;
};

// Keeps every message in order; used by tests and by batch location, which writes a row's
// message into its output instead of stopping.
class RecordingMessageService final : public MessageService
{
public:
    struct Message
    {
        QString text;
        MessageIcon icon;
        QString title;
    };
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;
    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
};
