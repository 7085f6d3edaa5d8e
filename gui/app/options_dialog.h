#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

// View > Options: the folders the program keeps in its settings. OK stores them.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget *parent = nullptr);
    void accept() override;

private:
    QLineEdit *m_quadFolder = nullptr;
    QLineEdit *m_startFolder = nullptr;
    QComboBox *m_rule = nullptr;
};
