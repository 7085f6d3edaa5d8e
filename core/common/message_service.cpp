#include "core/common/message_service.h"

#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

QString appTitle()
{
    return u"QRV Tractwise"_s;
}

MessageService::~MessageService() = default;

void StderrMessageService::showMessage(const QString &text, MessageIcon, const QString &title)
{
    const QString line = m_withTitle ? title + u": "_s + text : text;
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

void RecordingMessageService::showMessage(const QString &text, MessageIcon icon,
                                          const QString &title)
{
    m_messages.append({text, icon, title});
}

QStringList RecordingMessageService::texts() const
{
    QStringList out;
    for (const auto &m : m_messages)
        out.append(m.text);
    return out;
}
