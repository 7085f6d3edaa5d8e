#pragma once

#include <QDialog>

// Which layers of a source with several to add: a list in which several may be chosen.
class LayerChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    LayerChoiceDialog(const QString &source, const QStringList &layers, QWidget *parent = nullptr);
    QStringList chosen() const;

private:
    class QListWidget *m_list = nullptr;
};
