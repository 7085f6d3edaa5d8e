#pragma once

#include "core/plss/plss_schema.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// File > Properties: read-only text with a Close button.
class PropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    PropertiesDialog(const QString &text, QWidget *parent = nullptr);
};

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

// Themes > PLSS Fields: which field of a theme holds the section, the township and range (with
// their directions), the meridian, or a BLM-style township code. OK only with a complete choice.
class PlssFieldsDialog : public QDialog
{
    Q_OBJECT

public:
    PlssFieldsDialog(const QString &theme, const QStringList &fieldNames, const PlssFields &current,
                     QWidget *parent = nullptr);
    PlssFields fields() const;
    void accept() override;

private:
    QList<class QComboBox *> m_lists; // in PlssFields' order
    class QLabel *m_problem = nullptr;
};

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
