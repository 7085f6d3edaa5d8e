#pragma once

#include "core/common/message_service.h"

#include <QPointer>
#include <QWidget>

// Message boxes with an OK button, owned by `parent`'s window. Callers never use it from inside
// a paint.
class QtMessageService final : public MessageService
{
public:
    explicit QtMessageService(QWidget *parent = nullptr)
        : m_parent(parent)
    {}
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;

private:
    QPointer<QWidget> m_parent;
};

// Hands each message on to another service from the event loop, later: for reports made while
// painting, where a modal box must not open. Does not take ownership of the target, which must
// outlive the messages posted (they are dropped if `context` is gone).
class PostingMessageService final : public MessageService
{
public:
    PostingMessageService(MessageService &target, QObject *context)
        : m_target(target)
        , m_context(context)
    {}
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;

private:
    MessageService &m_target;
    QPointer<QObject> m_context;
};
