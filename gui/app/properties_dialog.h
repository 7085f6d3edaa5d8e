#pragma once

#include <QDialog>

// File > Properties: read-only text with a Close button.
class PropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    PropertiesDialog(const QString &text, QWidget *parent = nullptr);
};
