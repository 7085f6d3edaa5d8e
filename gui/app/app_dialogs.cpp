#include "gui/app/app_dialogs.h"

#include "gui/common/app_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PropertiesDialog::PropertiesDialog(const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"propertiesDialog"_s);
    setWindowTitle(u"Properties"_s);
    auto *layout = new QVBoxLayout(this);
    auto *view = new QPlainTextEdit(text);
    view->setObjectName(u"propertiesText"_s);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, 420);
}

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

namespace {
const char16_t *const plssCaptions[] = {u"Section:",
                                        u"Township:",
                                        u"Township direction:",
                                        u"Range:",
                                        u"Range direction:",
                                        u"Meridian:",
                                        u"Township code (BLM PLSSID):",
                                        u"Second division label (SENE, L 3):",
                                        u"Second division type:",
                                        u"Government lot:",
                                        u"Quarter (NE):",
                                        u"Quarter-quarter (SE):"};
const char16_t *const plssNames[] = {
    u"sectionField",        u"townshipField", u"townshipDirectionField", u"rangeField",
    u"rangeDirectionField", u"meridianField", u"townshipCodeField",      u"divisionLabelField",
    u"divisionTypeField",   u"lotField",      u"quarterField",           u"quarterQuarterField"};
QString PlssFields::*const plssMembers[] = {
    &PlssFields::section,      &PlssFields::township,       &PlssFields::townshipDirection,
    &PlssFields::range,        &PlssFields::rangeDirection, &PlssFields::meridian,
    &PlssFields::townshipCode, &PlssFields::secondLabel,    &PlssFields::secondType,
    &PlssFields::lot,          &PlssFields::quarter,        &PlssFields::quarterQuarter};
} // namespace

PlssFieldsDialog::PlssFieldsDialog(const QString &theme, const QStringList &fieldNames,
                                   const PlssFields &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"plssFieldsDialog"_s);
    setWindowTitle(u"PLSS Fields"_s);
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(u"Which fields of "_s + theme +
                              u" hold the section, township and range? A township or range "
                              u"field may hold the number and the letter together (12N). For a "
                              u"theme of second divisions (quarter-quarters and lots), name "
                              u"its label, or its quarter and quarter-quarter, instead."_s);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto *form = new QFormLayout;
    for (std::size_t i = 0; i < std::size(plssMembers); ++i) {
        auto *list = new QComboBox;
        list->setObjectName(QString::fromUtf16(plssNames[i]));
        list->addItem(QString());
        list->addItems(fieldNames);
        list->setCurrentIndex(std::max(0, list->findText(current.*plssMembers[i])));
        form->addRow(QString::fromUtf16(plssCaptions[i]), list);
        m_lists.append(list);
    }
    layout->addLayout(form);
    m_problem = new QLabel;
    m_problem->setObjectName(u"problem"_s);
    m_problem->setStyleSheet(u"color: red;"_s);
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PlssFields PlssFieldsDialog::fields() const
{
    PlssFields f;
    for (std::size_t i = 0; i < std::size(plssMembers); ++i)
        f.*plssMembers[i] = m_lists[qsizetype(i)]->currentText();
    return f;
}

void PlssFieldsDialog::accept()
{
    QString error;
    if (!parsePlssFields(plssFieldsText(fields()), &error)) {
        m_problem->setText(error);
        return;
    }
    QDialog::accept();
}

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
