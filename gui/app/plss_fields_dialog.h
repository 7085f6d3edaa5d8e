#pragma once

#include "core/plss/plss_schema.h"

#include <QDialog>

class QComboBox;

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
