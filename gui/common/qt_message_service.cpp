#include "gui/common/qt_message_service.h"

#include <QMessageBox>
#include <QMetaObject>

void QtMessageService::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Stop:
        boxIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case MessageIcon::Exclamation:
        boxIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case MessageIcon::None:
        break;
    }
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void PostingMessageService::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    if (!m_context)
        return;
    MessageService *target = &m_target;
    QMetaObject::invokeMethod(
        m_context, [target, text, icon, title] { target->showMessage(text, icon, title); },
        Qt::QueuedConnection);
}
