#pragma once

#include <QDialog>

// Help > About: the program's logo and version, and a Close button.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
