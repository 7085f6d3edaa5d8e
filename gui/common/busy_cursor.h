#pragma once

#include <QPointer>
#include <QWidget>

// The hourglass on a form for as long as the guard lives: every way out of a command restores
// the default pointer.
class BusyCursor
{
public:
    explicit BusyCursor(QWidget *form)
        : m_form(form)
    {
        if (m_form)
            m_form->setCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (m_form)
            m_form->unsetCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    QPointer<QWidget> m_form;
};
