#pragma once

#include "common/message_service.h"

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
