#include "gui/app/options_dialog.h"

#include "gui/common/app_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// A folder box with a Browse button that opens the folder chooser.
QWidget *folderRow(QLineEdit *edit, QWidget *dialog)
{
    auto *row = new QWidget;
    auto *l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(edit, 1);
    auto *browse = new QPushButton(u"Browse..."_s);
    browse->setObjectName(edit->objectName() + u"Browse"_s);
    l->addWidget(browse);
    QObject::connect(browse, &QPushButton::clicked, dialog, [edit, dialog] {
        const QString chosen =
            QFileDialog::getExistingDirectory(dialog, u"Choose a Folder"_s, edit->text());
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    return row;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"optionsDialog"_s);
    setWindowTitle(u"Options"_s);
    m_quadFolder = new QLineEdit(quadImageFolder());
    m_quadFolder->setObjectName(u"quadImageFolder"_s);
    m_startFolder = new QLineEdit(startFolder());
    m_startFolder->setObjectName(u"startFolder"_s);
    auto *form = new QFormLayout;
    form->addRow(u"Quadrangle images:"_s, folderRow(m_quadFolder, this));
    form->addRow(u"Open files from:"_s, folderRow(m_startFolder, this));
    m_rule = new QComboBox;
    m_rule->setObjectName(u"subdivisionRule"_s);
    m_rule->addItems({u"Classic: quarter points at 40 chains from the south and east"_s,
                      u"Manual of Surveying: midpoints, excess in the north and west rows"_s});
    m_rule->setCurrentIndex(manualSubdivisionRule() ? 1 : 0);
    m_rule->setToolTip(u"How quarter calls, lots and ties from quarter corners are placed where "
                       "the map has no second divisions"_s);
    form->addRow(u"Divide sections by:"_s, m_rule);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

void OptionsDialog::accept()
{
    setQuadImageFolder(m_quadFolder->text().trimmed());
    setStartFolder(m_startFolder->text().trimmed());
    setManualSubdivisionRule(m_rule->currentIndex() == 1);
    QDialog::accept();
}
