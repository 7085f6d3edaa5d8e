#include "gui/app/layer_choice_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

LayerChoiceDialog::LayerChoiceDialog(const QString &source, const QStringList &layers,
                                     QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"layerChoiceDialog"_s);
    setWindowTitle(u"Add Layers"_s);
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(source + u" holds several layers. Choose the ones to add:"_s);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    m_list = new QListWidget;
    m_list->setObjectName(u"layerList"_s);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->addItems(layers);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QStringList LayerChoiceDialog::chosen() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            names.append(m_list->item(i)->text());
    }
    return names;
}
